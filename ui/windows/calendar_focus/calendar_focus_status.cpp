#include "ui/windows/calendar_focus/calendar_focus_status.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/kit/desktop_texts.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

constexpr const char* optInNote = "No calendar is read until you opt in. Disconnect at any time.";
constexpr const char* noGapNote =
    "No clear five-minute window right now. You may be busy, near the end of the day, or using "
    "a focus preset shorter than five minutes.";

QLabel* wrappedLabel(QWidget* parent) {
  auto* label = plainLabel(QString(), parent);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

void setTextColor(QLabel& label, const QColor& color) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, color);
  label.setPalette(palette);
}

}  // namespace

CalendarFocusStatus::CalendarFocusStatus(QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(6);

  headline_ = wrappedLabel(this);
  headline_->setObjectName(QStringLiteral("status-headline"));
  setTextRole(*headline_, TextRole::headline);
  detail_ = wrappedLabel(this);
  detail_->setObjectName(QStringLiteral("status-detail"));
  failure_ = wrappedLabel(this);
  failure_->setObjectName(QStringLiteral("status-failure"));
  setTextColor(*failure_, errorTextColor());

  progress_ = new QWidget(this);
  auto* progressRow = new QHBoxLayout(progress_);
  progressRow->setContentsMargins(0, 0, 0, 0);
  progressBar_ = new QProgressBar(progress_);
  progressBar_->setRange(0, 0);  // turning, with no amount
  progressBar_->setTextVisible(false);
  progressBar_->setFixedWidth(80);
  progressTitle_ = plainLabel(QString(), progress_);
  progressTitle_->setObjectName(QStringLiteral("status-progress"));
  progressRow->addWidget(progressBar_);
  progressRow->addWidget(progressTitle_, 1);

  settings_ = new QPushButton(QStringLiteral("Open Calendar privacy settings"), this);
  settings_->setObjectName(QStringLiteral("open-settings"));
  auto* settingsRow = new QHBoxLayout;
  settingsRow->addWidget(settings_);
  settingsRow->addStretch(1);

  column->addWidget(headline_);
  column->addWidget(detail_);
  column->addWidget(failure_);
  column->addWidget(progress_);
  column->addLayout(settingsRow);
  present(CalendarFocusState::disabled(), nullptr);
}

void CalendarFocusStatus::showLines(const QString& headline, const QString& detail) {
  headline_->setText(headline);
  headline_->setVisible(!headline.isEmpty());
  detail_->setText(detail);
  detail_->setVisible(!detail.isEmpty());
}

void CalendarFocusStatus::present(const CalendarFocusState& state, const TimeText& timeText) {
  using Kind = CalendarFocusState::Kind;
  const Kind kind = state.kind();
  failure_->setVisible(kind == Kind::failed);
  progress_->setVisible(state.isBusy());
  settings_->setVisible(kind == Kind::accessRequired);
  setTextColor(*detail_, kind == Kind::disabled ? secondaryTextColor(*this)
                                                : palette().color(QPalette::WindowText));
  switch (kind) {
    case Kind::available: {
      const FocusOpportunity& block = *state.opportunity();
      const QString room =
          QStringLiteral("You have room for %1 minutes.").arg(QString::number(block.minutes));
      const QString next = block.nextBusyAt && timeText
                               ? QStringLiteral("Finish before your next commitment at %1.")
                                     .arg(timeText(*block.nextBusyAt))
                               : QStringLiteral("No busy event in this focus window.");
      showLines(room, next);
      break;
    }
    case Kind::accessRequired:
      showLines(QString(), QString::fromUtf8(calendarPermissionOff));
      break;
    case Kind::failed:
      showLines(QString(), QString());
      failure_->setText(QString::fromStdString(state.message()));
      break;
    case Kind::disabled:
      showLines(QString(), QString::fromUtf8(optInNote));
      break;
    case Kind::requesting:
    case Kind::checking:
      showLines(QString(), QString());
      progressTitle_->setText(kind == Kind::requesting
                                  ? QStringLiteral("Waiting for permission\u2026")
                                  : QStringLiteral("Checking availability\u2026"));
      break;
    case Kind::noGap:
      showLines(QString(), QString::fromUtf8(noGapNote));
      break;
  }
}

QString CalendarFocusStatus::shownText() const {
  QStringList lines;
  for (const QLabel* label : {headline_, detail_, failure_, progressTitle_}) {
    if (label->isVisibleTo(this) && !label->text().isEmpty()) lines << label->text();
  }
  if (settings_->isVisibleTo(this)) lines << settings_->text();
  return lines.join(QLatin1Char('\n'));
}

bool CalendarFocusStatus::showsFailure() const { return failure_->isVisibleTo(this); }

}  // namespace vorlane
