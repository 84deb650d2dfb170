#include "ui/windows/focus_history/focus_history_row.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "foundation/date_formatter.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"
#include "ui/kit/wrapping_label.h"

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

namespace {

QString titleOf(const FocusHistoryEntry& entry) {
  const QString prefix =
      entry.accomplishedAt ? QStringLiteral("Accomplished: ") : QStringLiteral("Focused on: ");
  return prefix + isolatedText(QString::fromStdString(entry.focus));
}

}  // namespace

FocusHistoryRow::FocusHistoryRow(const FocusHistoryEntry& entry, const DateFormatter& dates,
                                 std::function<void()> markAccomplished,
                                 std::function<void()> remove, QWidget* parent)
    : QWidget(parent), entry_(entry), markAccomplished_(std::move(markAccomplished)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 5, 0, 5);
  column->setSpacing(6);

  title_ = new WrappingLabel(titleOf(entry), WrappingLabel::Selection::byMouse, this);
  title_->setObjectName(QStringLiteral("title"));
  // A goal with no place to break must not widen the list; the row clips it instead.
  title_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  setTextRole(*title_, TextRole::headline);
  column->addWidget(title_);

  detail_ = plainLabel(focusHistoryDetail(entry, dates), this);
  detail_->setObjectName(QStringLiteral("detail"));
  setTextRole(*detail_, TextRole::caption);
  setSecondary(*detail_);
  column->addWidget(detail_);

  actions_ = new QHBoxLayout;
  actions_->setSpacing(12);
  delete_ = new QPushButton(QStringLiteral("Delete"), this);
  delete_->setFlat(true);
  connect(delete_, &QPushButton::clicked, this, std::move(remove));
  actions_->addWidget(delete_);
  actions_->addStretch(1);
  column->addLayout(actions_);
  offerMarking(!entry.accomplishedAt);
}

void FocusHistoryRow::showEntry(const FocusHistoryEntry& entry, const DateFormatter& dates) {
  if (entry == entry_) return;
  const bool titleChanged = entry.focus != entry_.focus ||
                            entry.accomplishedAt.has_value() != entry_.accomplishedAt.has_value();
  const bool detailChanged =
      entry.duration != entry_.duration || entry.finishedAt != entry_.finishedAt;
  entry_ = entry;
  if (titleChanged) title_->setText(titleOf(entry_));
  if (detailChanged) detail_->setText(focusHistoryDetail(entry_, dates));
  offerMarking(!entry_.accomplishedAt);
}

void FocusHistoryRow::offerMarking(bool offered) {
  if (offered == (mark_ != nullptr)) return;
  if (!offered) {
    // Hidden, its place kept: "Delete" stays where it was instead of sliding under a
    // pointer that pressed "Mark accomplished" and may press again.
    mark_->hide();
    mark_ = nullptr;
    return;
  }
  if (markPlace_ == nullptr) {
    markPlace_ = new QPushButton(QStringLiteral("Mark accomplished"), this);
    markPlace_->setFlat(true);
    QSizePolicy keepPlace = markPlace_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    markPlace_->setSizePolicy(keepPlace);
    connect(markPlace_, &QPushButton::clicked, this, [this] {
      if (const auto mark = markAccomplished_) mark();
    });
    actions_->insertWidget(0, markPlace_);
    // Tab reaches it just before "Delete", as in reading order.
    if (QWidget* before = delete_->previousInFocusChain(); before != delete_) {
      QWidget::setTabOrder(before, markPlace_);
    }
  }
  mark_ = markPlace_;
  mark_->show();
}

}  // namespace vorlane
