#include "ui/windows/today/today_view.h"

#include <QApplication>
#include <QBoxLayout>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>

#include "core/focus/focus_input.h"
#include "foundation/date_formatter.h"
#include "foundation/text.h"
#include "ui/kit/click_guard.h"
#include "ui/kit/desktop_texts.h"
#include "ui/kit/message_line.h"
#include "ui/kit/symbol_image.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_content.h"
#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

constexpr int padding = 22;

QLabel* roleLabel(const QString& text, TextRole role, QWidget* parent, bool secondary) {
  QLabel* label = plainLabel(text, parent);
  label->setWordWrap(true);
  setTextRole(*label, role);
  if (secondary) setSecondary(*label);
  return label;
}

// The content-unavailable look: a large symbol over a title and one line of help, centred.
QWidget* emptyStateWidget(QWidget* parent) {
  auto* box = new QWidget(parent);
  box->setObjectName(QStringLiteral("empty-state"));
  auto* column = new QVBoxLayout(box);
  column->setContentsMargins(0, 24, 0, 24);
  column->setSpacing(8);
  QLabel* sun = symbolLabel(QStringLiteral("sun.max"), 40, secondaryTextColor(*box), box);
  QLabel* title = plainLabel(QStringLiteral("A fresh page"), box);
  setTextRole(*title, TextRole::title2, QFont::Bold);
  QLabel* help = roleLabel(
      QStringLiteral("Add a priority, then choose a focus session or a five-minute first step."),
      TextRole::callout, box, true);
  for (QLabel* label : {sun, title, help}) {
    label->setAlignment(Qt::AlignHCenter);
    // The help spans the row, so it wraps instead of being cut at its first line's width.
    column->addWidget(label, 0, label == help ? Qt::Alignment() : Qt::AlignHCenter);
  }
  return box;
}

}  // namespace

TodayView::TodayView(DailyPrioritiesStore& store, int minutes,
                     std::optional<std::string> recoveryError, DiscardRecovery discardRecovery,
                     Start start, const WindowServices& services, QWidget* parent)
    : WindowContent(parent),
      store_(store),
      minutes_(minutes),
      recoveryError_(std::move(recoveryError)),
      discardRecovery_(std::move(discardRecovery)),
      start_(std::move(start)),
      services_(services),
      now_(services.clock.now()),
      calendar_(services.calendar()) {
  setMinimumSize(520, 460);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(padding, padding, padding, padding);
  column->setSpacing(16);

  buildHeader(*column);
  column->addWidget(roleLabel(
      QStringLiteral("Choose what matters today. Finishing a timer never checks a task off for "
                     "you."),
      TextRole::callout, this, true));
  buildAddRow(*column);
  errorLine_ = new MessageLine(TextRole::caption, this);
  errorLine_->setObjectName(QStringLiteral("error"));
  column->addWidget(errorLine_);
  buildRecoveryRow(*column);
  column->addWidget(buildList(), 1);
  buildFooter(*column);

  guard_ = new ClickGuard(*this);
  storeChanges_ = store_.changes().subscribe([this] { refresh(); });
  timer_ = new QTimer(this);
  timer_->setTimerType(Qt::CoarseTimer);
  timer_->setInterval(refreshMilliseconds);
  connect(timer_, &QTimer::timeout, this, [this] { refresh(); });
  timer_->start();
  refresh();
}

void TodayView::buildHeader(QVBoxLayout& column) {
  auto* header = new QHBoxLayout;
  auto* titles = new QVBoxLayout;
  titles->setSpacing(5);
  QLabel* heading = plainLabel(QStringLiteral("Three things. A little more room."), this);
  setTextRole(*heading, TextRole::title2, QFont::Bold);
  date_ = roleLabel(QString(), TextRole::caption, this, true);
  date_->setObjectName(QStringLiteral("date"));
  titles->addWidget(heading);
  titles->addWidget(date_);
  count_ = plainLabel(QString(), this);
  count_->setObjectName(QStringLiteral("count"));
  setTextRole(*count_, TextRole::title2);
  count_->setFont(withMonospacedDigits(count_->font()));
  setSecondary(*count_);
  header->addLayout(titles, 1);
  header->addWidget(count_, 0, Qt::AlignTop);
  column.addLayout(header);
}

void TodayView::buildAddRow(QVBoxLayout& column) {
  auto* row = new QHBoxLayout;
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("new-priority"));
  field_->setPlaceholderText(QStringLiteral("One priority for today"));
  field_->setAccessibleName(QStringLiteral("New priority"));
  // Return in the field adds, unguarded: a refused add says why.
  setFieldReturnAction(*field_, [this] { add(now_); });
  setFocusProxy(field_);
  add_ = new QPushButton(QStringLiteral("Add"), this);
  add_->setAutoDefault(true);
  row->addWidget(field_, 1);
  row->addWidget(add_);
  column.addLayout(row);
  connect(field_, &QLineEdit::textChanged, this, [this] { updateAddButton(); });
  connect(add_, &QPushButton::clicked, this, [this] { add(now_); });
}

void TodayView::buildRecoveryRow(QVBoxLayout& column) {
  recoveryRow_ = new QWidget(this);
  recoveryRow_->setObjectName(QStringLiteral("recovery"));
  auto* row = new QHBoxLayout(recoveryRow_);
  row->setContentsMargins(0, 0, 0, 0);
  QLabel* problem = roleLabel(QString::fromStdString(recoveryError_.value_or("")),
                              TextRole::caption, recoveryRow_, false);
  setError(*problem);
  discard_ = new QPushButton(QStringLiteral("Discard saved recovery\u2026"), recoveryRow_);
  discard_->setAutoDefault(true);
  row->addWidget(problem, 1);
  row->addWidget(discard_);
  column.addWidget(recoveryRow_);
  recoveryRow_->setVisible(recoveryError_.has_value() && !recoveryError_->empty());
  connect(discard_, &QPushButton::clicked, this, [this] { askDiscard(); });
}

QWidget* TodayView::buildList() {
  auto* scroll = new QScrollArea(this);
  scroll->setObjectName(QStringLiteral("list"));
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setFocusPolicy(Qt::NoFocus);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* inner = new QWidget(scroll);
  auto* column = new QVBoxLayout(inner);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(12);

  empty_ = emptyStateWidget(inner);
  todayList_ = new QWidget(inner);
  todayList_->setObjectName(QStringLiteral("today-list"));
  auto* todayColumn = new QVBoxLayout(todayList_);
  todayColumn->setContentsMargins(0, 0, 0, 0);
  todayColumn->setSpacing(12);

  earlier_ = new QWidget(inner);
  earlier_->setObjectName(QStringLiteral("earlier"));
  auto* earlierColumn = new QVBoxLayout(earlier_);
  earlierColumn->setContentsMargins(0, 0, 0, 0);
  earlierColumn->setSpacing(12);
  auto* divider = new QFrame(earlier_);
  divider->setFrameShape(QFrame::HLine);
  divider->setFrameShadow(QFrame::Sunken);
  earlierColumn->addSpacing(4);
  earlierColumn->addWidget(divider);
  earlierColumn->addSpacing(4);
  QLabel* heading = plainLabel(QStringLiteral("Earlier, unfinished"), earlier_);
  setTextRole(*heading, TextRole::headline);
  earlierColumn->addWidget(heading);
  earlierColumn->addWidget(roleLabel(
      QStringLiteral("Bring something forward only if it still matters. Nothing is carried over "
                     "automatically."),
      TextRole::caption, earlier_, true));
  earlierList_ = new QWidget(earlier_);
  earlierList_->setObjectName(QStringLiteral("earlier-list"));
  auto* earlierCards = new QVBoxLayout(earlierList_);
  earlierCards->setContentsMargins(0, 0, 0, 0);
  earlierCards->setSpacing(12);
  earlierColumn->addWidget(earlierList_);
  todayCards_.emplace(*todayList_);
  earlierCards_.emplace(*earlierList_);

  column->addWidget(empty_);
  column->addWidget(todayList_);
  column->addWidget(earlier_);
  column->addStretch(1);
  scroll->setWidget(inner);
  return scroll;
}

void TodayView::buildFooter(QVBoxLayout& column) {
  auto* row = new QHBoxLayout;
  QLabel* note = roleLabel(QString::fromUtf8(todayFooterNote), TextRole::caption, this, true);
  note->setWordWrap(false);
  clear_ = new QPushButton(QStringLiteral("Clear priorities\u2026"), this);
  clear_->setAutoDefault(true);
  row->addWidget(note);
  row->addStretch(1);
  row->addWidget(clear_);
  column.addLayout(row);
  connect(clear_, &QPushButton::clicked, this, [this] { askClear(); });
}

void TodayView::refresh() {
  now_ = services_.clock.now();
  calendar_ = services_.calendar();
  const DailyPriorities& plan = store_.plan();
  Shown shown{plan.today(now_, calendar_), plan.earlierUnfinished(now_, calendar_)};

  date_->setText(QString::fromStdString(
      DateFormatter(calendar_, DateFormatter::Style::fullDate).format(now_)));
  count_->setText(QStringLiteral("%1/3").arg(shown.today.size()));
  clear_->setEnabled(!plan.items().empty() || store_.errorMessage().has_value());
  showError();
  if (shown_ != shown) showCards(shown);
  shown_ = std::move(shown);
  updateAddButton();
}

void TodayView::showCards(const Shown& shown) {
  guard_->contentChanging();
  // A card's button that had the keyboard goes with its card: the field takes it back, not
  // whatever control comes next.
  const QWidget* focused = QApplication::focusWidget();
  const bool focusInCards = focused != nullptr && (todayList_->isAncestorOf(focused) ||
                                                   earlierList_->isAncestorOf(focused));
  // Shown or hidden while their lists still hold the old cards: a section shown lays itself
  // out at once, before the window gives it its width.
  empty_->setVisible(shown.today.empty());
  todayList_->setVisible(!shown.today.empty());
  earlier_->setVisible(!shown.earlier.empty());
  const bool lostFocus = showList(*todayCards_, shown.today, true, focused);
  const bool lostFocusEarlier = showList(*earlierCards_, shown.earlier, false, focused);
  orderTabs();
  // Laid out now, so the cards' buttons are where they are drawn by the next event.
  if (isVisible()) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  if (focusInCards && (lostFocus || lostFocusEarlier)) field_->setFocus(Qt::OtherFocusReason);
}

bool TodayView::showList(Cards& cards, const std::vector<DailyPriority>& priorities, bool isToday,
                         const QWidget* focused) {
  const TodayPriorityCard::Choose choose = [this](PriorityAction action,
                                                  const DailyPriority& priority) {
    this->choose(action, priority);
  };
  QWidget& list = isToday ? *todayList_ : *earlierList_;
  const Cards::Ways ways{[](const TodayPriorityCard& card) { return card.priority().id; },
                         [](const DailyPriority& priority) { return priority.id; },
                         // A card shows its priority as it was made: a changed one is made again.
                         [](const TodayPriorityCard& card, const DailyPriority& priority) {
                           return card.priority() == priority;
                         },
                         [&](const DailyPriority& priority) {
                           return new TodayPriorityCard(priority, isToday, minutes_, choose, &list);
                         }};
  return cards.show(priorities, ways, focused).lostFocus;
}

void TodayView::orderTabs() {
  // New cards would otherwise come last, after the footer: keep the reading order.
  std::vector<QWidget*> chain = {field_, add_, discard_};
  for (const Cards* cards : {&*todayCards_, &*earlierCards_}) {
    for (TodayPriorityCard* card : cards->rows()) {
      for (QWidget* control : card->controls()) chain.push_back(control);
    }
  }
  chain.push_back(clear_);
  for (std::size_t i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void TodayView::updateAddButton() {
  const bool full = shown_ && shown_->today.size() >= DailyPriorities::maximumPerDay;
  // Judged on the title as adding cleans it: a blank that a combining mark follows cleans
  // away to nothing.
  add_->setEnabled(!full && hasVisibleCharacter(FocusInput::cleaned(field_->text().toStdString())));
}

void TodayView::showError() {
  const std::optional<std::string>& shown = error_ ? error_ : store_.errorMessage();
  const QString sentence = QString::fromStdString(shown.value_or(""));
  // A line that comes, goes or changes moves the cards below it.
  if (sentence != errorLine_->text() || sentence.isEmpty() == errorLine_->isVisibleTo(this)) {
    guard_->contentChanging();
  }
  errorLine_->showError(sentence);
}

void TodayView::add(Date at) {
  const std::string title = field_->text().toStdString();
  const Calendar calendar = calendar_;
  const QPointer<TodayView> self(this);
  const bool saved = change([&](DailyPriorities& plan) { plan.add(title, at, calendar); });
  if (!self || !saved) return;
  // The plan is in place; the field empties before the red line does.
  field_->clear();
  // Back for the next one, also after a click on Add (which a full day disables).
  field_->setFocus(Qt::OtherFocusReason);
  error_.reset();
  showError();
}

bool TodayView::change(const std::function<void(DailyPriorities&)>& operation) {
  return act([&] { store_.apply(operation); });
}

bool TodayView::act(const std::function<void()>& action) {
  const QPointer<TodayView> self(this);
  const std::optional<QString> refusal = failureOf(action);
  // The action may have closed the window and let go of this content.
  if (!self) return !refusal;
  if (refusal) {
    error_ = refusal->toStdString();
  } else {
    error_.reset();
  }
  showError();
  return !refusal;
}

void TodayView::start(const UUID& id, bool starter) {
  act([&] {
    if (start_) start_(id, starter);
  });
}

void TodayView::choose(PriorityAction action, const DailyPriority& priority) {
  const UUID id = priority.id;
  const Date at = now_;
  const Calendar calendar = calendar_;
  switch (action) {
    case PriorityAction::focus:
      start(id, false);
      return;
    case PriorityAction::starter:
      start(id, true);
      return;
    case PriorityAction::markDone:
      change([&](DailyPriorities& plan) { plan.markAccomplished(id, at); });
      return;
    case PriorityAction::bringToToday:
      change([&](DailyPriorities& plan) { plan.carryForward(id, at, calendar); });
      return;
    case PriorityAction::removeFromToday:
      change([&](DailyPriorities& plan) { plan.removeFromToday(id, at, calendar); });
      return;
    case PriorityAction::remove:
      askDelete(priority);
      return;
  }
}

void TodayView::askDelete(const DailyPriority& priority) {
  deleting_ = priority;
  services_.confirmation.ask(
      *this,
      {QStringLiteral("Delete this priority from all days?"), QStringLiteral("Delete priority")},
      [this](bool confirmed) {
        const std::optional<DailyPriority> chosen = std::exchange(deleting_, std::nullopt);
        if (!confirmed || !chosen) return;
        const UUID id = chosen->id;
        change([&](DailyPriorities& plan) { plan.remove(id); });
      });
}

void TodayView::askClear() {
  services_.confirmation.ask(
      *this,
      {QStringLiteral("Clear all priorities? Focus history is kept separately."),
       QStringLiteral("Clear priorities")},
      [this](bool confirmed) {
        if (!confirmed) return;
        // Removes the stored record and any load problem, and publishes the empty plan; a
        // failure leaves the record stored, so the plan and its problem stay as they were.
        act([this] { store_.clear(); });
      });
}

void TodayView::askDiscard() {
  services_.confirmation.ask(
      *this,
      {QStringLiteral("Discard the saved recovery? Your current in-memory timer will not be "
                      "stopped."),
       QStringLiteral("Discard saved recovery")},
      [this](bool confirmed) {
        if (!confirmed) return;
        const QPointer<TodayView> self(this);
        if (discardRecovery_) discardRecovery_();
        if (!self) return;
        recoveryError_.reset();
        recoveryRow_->hide();
      });
}

std::vector<TodayPriorityCard*> TodayView::todayCards() const { return todayCards_->rows(); }

std::vector<TodayPriorityCard*> TodayView::earlierCards() const { return earlierCards_->rows(); }

void TodayView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  field_->setFocus(Qt::OtherFocusReason);
}

}  // namespace vorlane
