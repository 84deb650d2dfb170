#include "ui/windows/focus_history_row.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "foundation/date_formatter.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"

namespace vorlane {

std::int64_t wholeMinutes(double seconds) {
  // std::round, never "+ 0.5": 29.999999999999996 s must not read as a minute.
  const double minutes = std::round(seconds / 60.0);
  // 2^63 is exact as a double; anything from there on does not fit.
  constexpr double limit = 9223372036854775808.0;
  if (!std::isfinite(minutes) || minutes >= limit || minutes < -limit) return 0;
  return static_cast<std::int64_t>(minutes);
}

QString focusHistoryDetail(const FocusHistoryEntry& entry, const DateFormatter& dates) {
  return QString::number(static_cast<qlonglong>(wholeMinutes(entry.duration))) +
         QStringLiteral(" min \u00B7 ") + QString::fromStdString(dates.format(entry.finishedAt));
}

FocusHistoryRow::FocusHistoryRow(const FocusHistoryEntry& entry, const DateFormatter& dates,
                                 std::function<void()> markAccomplished,
                                 std::function<void()> remove, QWidget* parent)
    : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 5, 0, 5);
  column->setSpacing(6);

  const QString prefix = entry.accomplishedAt ? QStringLiteral("Accomplished: ")
                                              : QStringLiteral("Focused on: ");
  title_ = plainLabel(prefix + isolatedText(QString::fromStdString(entry.focus)), this);
  title_->setObjectName(QStringLiteral("title"));
  title_->setWordWrap(true);
  title_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A goal with no place to break must not widen the list; the row clips it instead.
  title_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  setTextRole(*title_, TextRole::headline);
  column->addWidget(title_);

  detail_ = plainLabel(focusHistoryDetail(entry, dates), this);
  detail_->setObjectName(QStringLiteral("detail"));
  setTextRole(*detail_, TextRole::caption);
  setSecondary(*detail_);
  column->addWidget(detail_);

  auto* actions = new QHBoxLayout;
  actions->setSpacing(12);
  if (!entry.accomplishedAt) {
    mark_ = new QPushButton(QStringLiteral("Mark accomplished"), this);
    mark_->setFlat(true);
    connect(mark_, &QPushButton::clicked, this, std::move(markAccomplished));
    actions->addWidget(mark_);
  }
  delete_ = new QPushButton(QStringLiteral("Delete"), this);
  delete_->setFlat(true);
  connect(delete_, &QPushButton::clicked, this, std::move(remove));
  actions->addWidget(delete_);
  actions->addStretch(1);
  column->addLayout(actions);
}

}  // namespace vorlane
