#include "ui/windows/calendar_focus/calendar_focus_view.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <exception>

#include "coordination/calendar_focus/calendar_focus_model.h"
#include "core/focus/focus_input.h"
#include "core/productivity/daily_priorities_store.h"
#include "foundation/short_time_formatter.h"
#include "platform/logging/log.h"
#include "ui/kit/desktop_texts.h"
#include "ui/kit/message_line.h"
#include "ui/kit/symbol_image.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"
#include "ui/windows/calendar_focus/calendar_focus_status.h"

namespace vorlane {
namespace {

constexpr int spacing = 16;
constexpr int padding = 22;

constexpr const char* rulesNote =
    "Uses all calendars. Free, canceled and declined events do not block time; busy all-day and "
    "tentative events do. Leaves two minutes before the next busy event. No background calendar "
    "polling.";

QLabel* wrapped(const QString& text, QWidget* parent) {
  auto* label = plainLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

const DailyPriority* findPriority(const DailyPriorities& plan, const UUID& id) {
  for (const DailyPriority& item : plan.items()) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

}  // namespace

CalendarFocusView::CalendarFocusView(CalendarFocusModel& model, DailyPrioritiesStore& priorities,
                                     Start start, Services services, QWidget* parent)
    : WindowContent(parent),
      model_(model),
      priorities_(priorities),
      startAction_(std::move(start)),
      services_(std::move(services)) {
  setMinimumSize(510, 490);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(padding, padding, padding, padding);
  column->setSpacing(spacing);

  auto* header = new QHBoxLayout;
  header->setSpacing(8);
  auto* title = plainLabel(QStringLiteral("Make a little space for focus"), this);
  setTextRole(*title, TextRole::title2, QFont::Bold);
  header->addWidget(symbolLabel(QStringLiteral("calendar.badge.clock"),
                                title->fontMetrics().height(), accentColor(*this), this));
  header->addWidget(title, 1);
  column->addLayout(header);

  auto* intro = wrapped(QStringLiteral("A session that fits before your next commitment. You "
                                       "always choose when to start."),
                        this);
  setSecondary(*intro);
  column->addWidget(intro);
  column->addWidget(buildScrolledPart(), 1);

  auto* footer = new QHBoxLayout;
  close_ = new QPushButton(QStringLiteral("Close"), this);
  refresh_ = new QPushButton(QStringLiteral("Refresh"), this);
  start_ = new QPushButton(QStringLiteral("Start focus"), this);
  start_->setObjectName(QStringLiteral("start"));
  start_->setDefault(true);
  footer->addWidget(close_);
  footer->addStretch(1);
  footer->addWidget(refresh_);
  footer->addWidget(start_);
  column->addLayout(footer);

  // Escape reaches the window from inside the goal field too.
  setEscapeAction([this] { closeWindow(); }, EscapeReach::fromFields);
  // The goal field passes Return on; it starts only what the Start button would.
  setReturnAction([this] { startFocus(); });
  connect(close_, &QPushButton::clicked, this, [this] { closeWindow(); });
  connect(enable_, &QPushButton::clicked, this, [this] {
    goalAfterEnable_ = true;
    guarded([this] { model_.enable(); });
  });
  connect(disconnect_, &QPushButton::clicked, this,
          [this] { guarded([this] { model_.disable(); }); });
  connect(refresh_, &QPushButton::clicked, this, [this] { guarded([this] { model_.refresh(); }); });
  connect(start_, &QPushButton::clicked, this, [this] { startFocus(); });
  connect(status_->settingsButton(), &QPushButton::clicked, this, [this] { openSettings(); });
  connect(picker_, qOverload<int>(&QComboBox::activated), this,
          [this](int index) { choosePriority(index); });
  connect(goal_, &QLineEdit::textChanged, this, [this](const QString& text) { goalEdited(text); });

  modelChanges_ = model_.changes().subscribe([this] { redraw(); });
  priorityChanges_ = priorities_.changes().subscribe([this] {
    fillPicker();
    redraw();
  });
  if (services_.watchActivation) {
    services_.watchActivation(this, [this] {
      if (model_.isEnabled() && !model_.isBusy()) guarded([this] { model_.refresh(); });
    });
  }
  fillPicker();
  redraw();
}

CalendarFocusView::~CalendarFocusView() = default;

QWidget* CalendarFocusView::buildScrolledPart() {
  auto* scroll = new QScrollArea(this);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* inner = new QWidget(scroll);
  auto* column = new QVBoxLayout(inner);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(spacing);

  auto* heading = plainLabel(QStringLiteral("Optional calendar access"), inner);
  setTextRole(*heading, TextRole::headline);
  column->addWidget(heading);
  auto* privacy = wrapped(QString::fromUtf8(calendarReadsOnlyAvailability), inner);
  setTextRole(*privacy, TextRole::callout);
  setSecondary(*privacy);
  column->addWidget(privacy);

  enable_ = new QPushButton(QStringLiteral("Enable calendar suggestions"), inner);
  auto* enableRow = new QHBoxLayout;
  enableRow->addWidget(enable_);
  enableRow->addStretch(1);
  column->addLayout(enableRow);

  enabledRow_ = new QWidget(inner);
  auto* enabledLine = new QHBoxLayout(enabledRow_);
  enabledLine->setContentsMargins(0, 0, 0, 0);
  enabledLine->setSpacing(6);
  auto* enabledLabel = plainLabel(QStringLiteral("Calendar suggestions enabled"), enabledRow_);
  enabledLine->addWidget(symbolLabel(QStringLiteral("checkmark.shield"),
                                     enabledLabel->fontMetrics().height(), accentColor(*this),
                                     enabledRow_));
  enabledLine->addWidget(enabledLabel);
  enabledLine->addStretch(1);
  disconnect_ = new QPushButton(QStringLiteral("Disconnect"), enabledRow_);
  enabledLine->addWidget(disconnect_);
  column->addWidget(enabledRow_);

  auto* divider = new QFrame(inner);
  divider->setFrameShape(QFrame::HLine);
  divider->setFrameShadow(QFrame::Sunken);
  column->addWidget(divider);

  status_ = new CalendarFocusStatus(inner);
  column->addWidget(status_);
  // What went wrong outside the model, in red, until the next action that works.
  problem_ = new MessageLine(TextRole::body, inner);
  problem_->setObjectName(QStringLiteral("problem"));
  column->addWidget(problem_);
  setMessageLine(problem_);

  addGoalPart(inner, column);
  column->addStretch(1);
  scroll->setWidget(inner);
  return scroll;
}

void CalendarFocusView::addGoalPart(QWidget* inner, QVBoxLayout* column) {
  pickerRow_ = new QWidget(inner);
  auto* pickerLine = new QHBoxLayout(pickerRow_);
  pickerLine->setContentsMargins(0, 0, 0, 0);
  auto* pickerTitle = plainLabel(QStringLiteral("Focus on"), pickerRow_);
  picker_ = new QComboBox(pickerRow_);
  picker_->setObjectName(QStringLiteral("focus-on"));
  // As wide as a usual title, never wider: a long priority is elided, not a wider window.
  picker_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  picker_->setMinimumContentsLength(30);
  picker_->setMinimumWidth(200);
  pickerTitle->setBuddy(picker_);
  pickerLine->addWidget(pickerTitle);
  pickerLine->addWidget(picker_);
  pickerLine->addStretch(1);
  column->addWidget(pickerRow_);

  goal_ = new QLineEdit(inner);
  goal_->setObjectName(QStringLiteral("goal"));
  goal_->setPlaceholderText(QStringLiteral("What will you focus on?"));
  goal_->setAccessibleName(QStringLiteral("Calendar focus goal"));
  column->addWidget(goal_);

  // Straight in the column: a wrapped line inside a nested widget is cut off when it grows.
  checked_ = wrapped(QString(), inner);
  checked_->setObjectName(QStringLiteral("checked-at"));
  setTextRole(*checked_, TextRole::caption);
  setSecondary(*checked_);
  column->addWidget(checked_);
  rules_ = wrapped(QString::fromUtf8(rulesNote), inner);
  setTextRole(*rules_, TextRole::caption);
  setSecondary(*rules_);
  column->addWidget(rules_);
}

QString CalendarFocusView::timeText(Date date) const {
  if (!services_.calendar) return {};
  return QString::fromStdString(ShortTimeFormatter(services_.calendar()).format(date));
}

void CalendarFocusView::redraw() {
  const bool enabled = model_.isEnabled();
  const bool busy = model_.isBusy();
  enable_->setVisible(!enabled);
  enable_->setEnabled(!busy);
  enabledRow_->setVisible(enabled);
  status_->present(model_.state(), [this](Date date) { return timeText(date); });

  pickerRow_->setVisible(enabled);
  goal_->setVisible(enabled);
  rules_->setVisible(enabled);
  picker_->setEnabled(!busy);
  goal_->setEnabled(!busy);
  const auto& checkedAt = model_.checkedAt();
  checked_->setVisible(enabled && checkedAt.has_value());
  if (checkedAt) {
    checked_->setText(QStringLiteral("Checked at %1. Availability is checked again when you start.")
                          .arg(timeText(*checkedAt)));
  }

  refresh_->setVisible(enabled);
  refresh_->setEnabled(!busy);
  start_->setVisible(enabled);
  const auto& block = model_.opportunity();
  start_->setText(block ? QStringLiteral("Start %1 min").arg(QString::number(block->minutes))
                        : QStringLiteral("Start focus"));
  start_->setEnabled(!busy && block && FocusInput::isValidGoal(goal_->text().toStdString()));
  if (goalAfterEnable_ && !busy) {
    goalAfterEnable_ = false;
    if (enabled) goal_->setFocus(Qt::OtherFocusReason);
  }
}

void CalendarFocusView::fillPicker() {
  const QSignalBlocker blocker(picker_);
  picker_->clear();
  picker_->addItem(QStringLiteral("A new goal"), QString());
  const Date now = services_.clock ? services_.clock->now() : Date();
  const Calendar calendar = services_.calendar ? services_.calendar() : Calendar::current();
  for (const DailyPriority& item : priorities_.plan().today(now, calendar)) {
    if (item.accomplishedAt) continue;
    picker_->addItem(QString::fromStdString(item.title),
                     QString::fromStdString(item.id.toString()));
  }
  selectPickerEntry();
}

void CalendarFocusView::selectPickerEntry() {
  const QSignalBlocker blocker(picker_);
  const QString wanted = priorityID_ ? QString::fromStdString(priorityID_->toString()) : QString();
  // An id no longer listed shows no entry, though the choice stands until the goal changes.
  picker_->setCurrentIndex(picker_->findData(wanted));
}

void CalendarFocusView::choosePriority(int index) {
  const QString data = picker_->itemData(index).toString();
  priorityID_ = data.isEmpty() ? std::nullopt : UUID::fromString(data.toStdString());
  if (priorityID_) {
    if (const DailyPriority* chosen = findPriority(priorities_.plan(), *priorityID_)) {
      goal_->setText(QString::fromStdString(chosen->title));
    }
  }
  selectPickerEntry();
  redraw();
}

void CalendarFocusView::goalEdited(const QString& text) {
  if (priorityID_) {
    const DailyPriority* chosen = findPriority(priorities_.plan(), *priorityID_);
    if (chosen != nullptr && chosen->title != text.toStdString()) {
      priorityID_.reset();
      selectPickerEntry();
    }
  }
  redraw();
}

void CalendarFocusView::startFocus() {
  if (!start_->isEnabled() || !start_->isVisible()) return;
  problem_->clearMessage();
  const std::string goal = goal_->text().toStdString();
  const std::optional<UUID> priority = priorityID_;
  // The view may be gone when the model answers; the action then goes through the guarded
  // callback, which refuses once the window has closed.
  const Start start = startAction_;
  const QPointer<CalendarFocusView> self(this);
  guarded([&] {
    model_.start(
        goal,
        [start, priority](int minutes, const std::string& cleaned) {
          if (start) start(minutes, cleaned, priority);
        },
        [self](bool started) {
          if (started && self) self->closeWindow();
        });
  });
}

void CalendarFocusView::openSettings() {
  problem_->clearMessage();
  guarded([this] {
    if (services_.openCalendarsFolder) services_.openCalendarsFolder();
  });
  // Nothing else would ever ask again once the user said no, whatever became of the folder.
  guarded([this] {
    if (model_.access() == CalendarAccess::refused) model_.askAgain();
  });
}

void CalendarFocusView::guarded(const std::function<void()>& action) {
  const QPointer<CalendarFocusView> self(this);
  const std::optional<QString> failure = failureOf(action);
  if (!failure) return;
  Log::lifecycle().error("calendar focus window: %{public}s", failure->toStdString());
  if (self) problem_->showError(*failure);
}

void CalendarFocusView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (appeared_) return;
  appeared_ = true;
  // Returns at once while not opted in.
  guarded([this] { model_.refresh(); });
}

void CalendarFocusView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // A window manager hiding the window for a while is not a close.
  if (!event->spontaneous()) disappear();
}

void CalendarFocusView::disappear() {
  if (disappeared_ || !appeared_) return;
  disappeared_ = true;
  modelChanges_.cancel();
  priorityChanges_.cancel();
  model_.windowDisappeared();
}

}  // namespace vorlane
