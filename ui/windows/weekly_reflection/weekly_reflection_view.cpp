#include "ui/windows/weekly_reflection/weekly_reflection_view.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <optional>

#include "platform/logging/log.h"
#include "ui/kit/desktop_texts.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_content.h"
#include "ui/kit/window_text.h"
#include "ui/windows/weekly_reflection/weekly_reflection_figures.h"

namespace vorlane {
namespace {

QLabel* note(const QString& text, TextRole role, QWidget* parent) {
  auto* label = plainLabel(text, parent);
  label->setWordWrap(true);
  setTextRole(*label, role);
  setSecondary(*label);
  return label;
}

const char* countName(WeeklyReflection::TimeOfDay time) {
  switch (time) {
    case WeeklyReflection::TimeOfDay::morning:
      return "morning-count";
    case WeeklyReflection::TimeOfDay::afternoon:
      return "afternoon-count";
    case WeeklyReflection::TimeOfDay::evening:
      return "evening-count";
    case WeeklyReflection::TimeOfDay::overnight:
      return "overnight-count";
  }
  return "";
}

}  // namespace

WeeklyReflectionView::WeeklyReflectionView(FocusHistoryStore& history,
                                           DailyPrioritiesStore& priorities,
                                           std::function<void()> manageHistory,
                                           std::shared_ptr<const Clock> clock,
                                           std::function<Calendar()> calendar, QWidget* parent)
    : QWidget(parent),
      history_(history),
      priorities_(priorities),
      manageHistory_(std::move(manageHistory)),
      clock_(std::move(clock)),
      calendar_(std::move(calendar)) {
  setMinimumSize(530, 480);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(22, 22, 22, 22);
  column->setSpacing(16);

  buildHeading(*column);
  buildWeekPicker(*column);
  range_ = note(QString(), TextRole::caption, this);
  range_->setObjectName(QStringLiteral("week-range"));
  column->addWidget(range_);

  error_ = new MessageLine(TextRole::caption, this);
  error_->setObjectName(QStringLiteral("reflection-error"));
  column->addWidget(error_);

  buildScrollArea(*column);
  buildFooter(*column);
  followChanges();
  refresh();
}

void WeeklyReflectionView::buildHeading(QVBoxLayout& column) {
  auto* heading = plainLabel(QStringLiteral("A little perspective"), this);
  setTextRole(*heading, TextRole::title, QFont::Bold);
  column.addWidget(heading);
  column.addWidget(
      note(QStringLiteral("A reflection, not a scorecard. No streaks, targets, or penalties."),
           TextRole::callout, this));
}

void WeeklyReflectionView::buildWeekPicker(QVBoxLayout& column) {
  auto* picker = new QHBoxLayout;
  picker->setSpacing(0);
  auto* pickerLabel = plainLabel(QStringLiteral("Week"), this);
  picker->addWidget(pickerLabel);
  picker->addSpacing(10);
  thisWeek_ = new QPushButton(QStringLiteral("This week"), this);
  lastWeek_ = new QPushButton(QStringLiteral("Last week"), this);
  auto* weeks = new QButtonGroup(this);
  for (QPushButton* segment : {thisWeek_, lastWeek_}) {
    segment->setCheckable(true);
    weeks->addButton(segment);
    picker->addWidget(segment);
  }
  thisWeek_->setObjectName(QStringLiteral("this-week"));
  lastWeek_->setObjectName(QStringLiteral("last-week"));
  thisWeek_->setChecked(true);
  // The keyboard starts on the picker, the one control that changes what is shown.
  thisWeek_->setFocus(Qt::OtherFocusReason);
  picker->addStretch(1);
  column.addLayout(picker);
  connect(thisWeek_, &QPushButton::clicked, this, [this] { setWeek(0); });
  connect(lastWeek_, &QPushButton::clicked, this, [this] { setWeek(-1); });
}

void WeeklyReflectionView::buildFooter(QVBoxLayout& column) {
  auto* footer = new QHBoxLayout;
  footer->addWidget(note(QString::fromUtf8(reflectionFooterNote), TextRole::caption, this), 1);
  manage_ = new QPushButton(QStringLiteral("Manage history\u2026"), this);
  footer->addWidget(manage_);
  column.addLayout(footer);
  connect(manage_, &QPushButton::clicked, this, [this] {
    // The coordinator's callback does nothing once it is gone; a throw must not leave a slot.
    if (const std::optional<QString> failure = WindowContent::failureOf(manageHistory_)) {
      Log::presentation().error("could not open the focus history: %{public}s",
                                failure->toStdString().c_str());
    }
  });
}

void WeeklyReflectionView::followChanges() {
  historySubscription_ = history_.changes().subscribe([this] { refresh(); });
  prioritiesSubscription_ = priorities_.changes().subscribe([this] { refresh(); });
  timer_ = new QTimer(this);
  timer_->setInterval(refreshMilliseconds);
  connect(timer_, &QTimer::timeout, this, [this] { refresh(); });
  timer_->start();
}

void WeeklyReflectionView::buildScrollArea(QVBoxLayout& column) {
  scroll_ = new QScrollArea(this);
  scroll_->setWidgetResizable(true);
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // A bar only when there is something to scroll: an empty one reads as a broken list.
  scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  scroll_->setWidget(buildScrolledContent());
  column.addWidget(scroll_, 1);
}

QWidget* WeeklyReflectionView::buildScrolledContent() {
  auto* inner = new QWidget;
  auto* column = new QVBoxLayout(inner);
  column->setContentsMargins(0, 0, 12, 0);
  column->setSpacing(18);

  accomplished_ = new ReflectionSection(
      QStringLiteral("What you accomplished"), QStringLiteral("checkmark.circle"),
      QStringLiteral("Nothing marked yet. Finishing a timer and finishing a task are different "
                     "things."),
      inner);
  accomplished_->setObjectName(QStringLiteral("accomplished"));
  column->addWidget(accomplished_);
  broughtForward_ = new ReflectionSection(
      QStringLiteral("Brought forward"), QStringLiteral("arrow.turn.down.right"),
      QStringLiteral("No unfinished priorities carried forward in this week."), inner);
  broughtForward_->setObjectName(QStringLiteral("brought-forward"));
  column->addWidget(broughtForward_);
  column->addWidget(note(QStringLiteral("Still relevant? Make the next step smaller, or give "
                                        "yourself permission to let it go."),
                         TextRole::caption, inner));

  auto* divider = new QFrame(inner);
  divider->setFrameShape(QFrame::HLine);
  divider->setFrameShadow(QFrame::Sunken);
  column->addWidget(divider);

  auto* finished = plainLabel(QStringLiteral("Where sessions finished"), inner);
  setTextRole(*finished, TextRole::headline);
  column->addWidget(finished);

  auto* rows = new QGridLayout;
  rows->setColumnStretch(0, 1);
  rows->setVerticalSpacing(6);
  int row = 0;
  for (WeeklyReflection::TimeOfDay time : WeeklyReflection::allTimesOfDay) {
    auto* label = plainLabel(QString::fromUtf8(WeeklyReflection::rawValue(time)), inner);
    setTextRole(*label, TextRole::callout);
    auto* number = plainLabel(QStringLiteral("0"), inner);
    number->setObjectName(QString::fromLatin1(countName(time)));
    number->setFont(withMonospacedDigits(roleFont(TextRole::callout, number->font())));
    number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rows->addWidget(label, row, 0);
    rows->addWidget(number, row, 1);
    counts_[static_cast<std::size_t>(time)] = number;
    ++row;
  }
  column->addLayout(rows);

  totals_ = plainLabel(QString(), inner);
  totals_->setObjectName(QStringLiteral("totals"));
  setTextRole(*totals_, TextRole::callout);
  column->addWidget(totals_);
  column->addWidget(note(QStringLiteral("These are finish times, not a judgment about your best "
                                        "hours. Minutes are the full recorded durations of "
                                        "sessions completed in this week; paused and stopped "
                                        "time is not counted."),
                         TextRole::caption, inner));
  column->addStretch(1);
  return inner;
}

void WeeklyReflectionView::setWeek(std::int64_t week) {
  week_ = week;
  const QSignalBlocker blockThis(thisWeek_);
  const QSignalBlocker blockLast(lastWeek_);
  (week == 0 ? thisWeek_ : lastWeek_)->setChecked(true);
  refresh();
}

void WeeklyReflectionView::refresh() {
  const Calendar calendar = calendar_();
  const WeeklyReflection reflection =
      reflectionOf(history_.entries(), priorities_.plan(), clock_->now(), week_, calendar);
  range_->setText(weekRangeLine(reflection.interval(), calendar));

  const auto& historyError = history_.errorMessage();
  const auto& prioritiesError = priorities_.errorMessage();
  const std::optional<std::string>& sentence =
      historyError && !historyError->empty() ? historyError : prioritiesError;
  error_->showError(sentence ? QString::fromStdString(*sentence) : QString());

  accomplished_->setValues(reflection.accomplishedGoals());
  broughtForward_->setValues(reflection.broughtForward());
  for (WeeklyReflection::TimeOfDay time : WeeklyReflection::allTimesOfDay) {
    const auto found = reflection.completionTimes().find(time);
    const std::int64_t n = found == reflection.completionTimes().end() ? 0 : found->second;
    count(time)->setText(QString::number(n));
  }
  totals_->setText(
      completedSessionsLine(reflection.completedSessions(), reflection.recordedMinutes()));
  logShown();
}

// What is on screen, told once per change, so that a session's log shows what the user saw.
void WeeklyReflectionView::logShown() {
  const std::string shown = (week_ == 0 ? std::string("this week, ") : std::string("last week, ")) +
                            range_->text().toStdString() + ": " + totals_->text().toStdString();
  if (shown == logged_) return;
  logged_ = shown;
  Log::presentation().debug("weekly reflection shows %{public}s", shown);
}

}  // namespace vorlane
