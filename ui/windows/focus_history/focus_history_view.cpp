#include "ui/windows/focus_history/focus_history_view.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "core/focus/focus_history_store.h"
#include "foundation/date_formatter.h"
#include "ui/kit/click_guard.h"
#include "ui/kit/desktop_texts.h"
#include "ui/kit/message_line.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_content.h"
#include "ui/kit/window_text.h"
#include "ui/windows/focus_history/focus_history_row.h"

namespace vorlane {

FocusHistoryView::FocusHistoryView(FocusHistoryStore& store, WindowServices services,
                                   QWidget* parent)
    : QWidget(parent), store_(store), services_(std::move(services)) {
  setMinimumSize(470, 360);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(20, 20, 20, 20);
  column->setSpacing(12);

  auto* heading = plainLabel(QStringLiteral("Your focus, remembered"), this);
  heading->setObjectName(QStringLiteral("heading"));
  setTextRole(*heading, TextRole::title2, QFont::Bold);
  column->addWidget(heading);

  auto* subtitle = plainLabel(QStringLiteral("A finished timer records focus time. Only you "
                                             "decide whether the task is accomplished."),
                              this);
  subtitle->setObjectName(QStringLiteral("subtitle"));
  subtitle->setWordWrap(true);
  setTextRole(*subtitle, TextRole::caption);
  setSecondary(*subtitle);
  column->addWidget(subtitle);

  message_ = new MessageLine(TextRole::callout, this);
  message_->setObjectName(QStringLiteral("error"));
  column->addWidget(message_);

  empty_ = plainLabel(QStringLiteral("Completed focus sessions will appear here."), this);
  empty_->setObjectName(QStringLiteral("empty"));
  empty_->setAlignment(Qt::AlignCenter);
  setSecondary(*empty_);
  column->addWidget(empty_, 1);

  scroll_ = new QScrollArea(this);
  scroll_->setWidgetResizable(true);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setFrameShape(QFrame::NoFrame);
  // The keyboard goes from row button to row button, and to "Clear history..." last.
  scroll_->setFocusPolicy(Qt::NoFocus);
  list_ = new QWidget(scroll_);
  auto* listColumn = new QVBoxLayout(list_);
  listColumn->setContentsMargins(0, 0, 0, 0);
  listColumn->setSpacing(0);
  listColumn->addStretch(1);
  rows_.emplace(*list_);
  scroll_->setWidget(list_);
  column->addWidget(scroll_, 1);

  auto* footer = new QHBoxLayout;
  auto* note = plainLabel(QString::fromUtf8(historyFooterNote), this);
  note->setObjectName(QStringLiteral("footer"));
  setTextRole(*note, TextRole::caption);
  setSecondary(*note);
  // Three full stops, as the window has always written it.
  clear_ = new QPushButton(QStringLiteral("Clear history..."), this);
  footer->addWidget(note);
  footer->addStretch(1);
  footer->addWidget(clear_);
  column->addLayout(footer);

  guard_ = new ClickGuard(*this);
  connect(clear_, &QPushButton::clicked, this, [this] { askToClear(); });
  // Cancelled with the view, so a closed window hears nothing more.
  subscription_ = store_.changes().subscribe([self = QPointer<FocusHistoryView>(this)] {
    if (self) self->refresh();
  });
  refresh();
}

std::vector<FocusHistoryRow*> FocusHistoryView::rows() const { return rows_->rows(); }

void FocusHistoryView::refresh() {
  showRows();
  const bool empty = store_.entries().empty();
  empty_->setVisible(empty);
  scroll_->setVisible(!empty);
  const bool unreadableOrFailed = store_.errorMessage() && !store_.errorMessage()->empty();
  // An unreadable history shows no entries and must still be clearable.
  clear_->setEnabled(!empty || unreadableOrFailed);
  showMessage();
}

void FocusHistoryView::showRows() {
  guard_->contentChanging();
  // A screenful first, so the window opens without waiting for a full history's rows; then
  // twice as many as are shown, so a long list is laid out a few times rather than once per
  // screenful.
  constexpr std::size_t screenful = 12;
  const std::size_t budget = std::max(screenful, 2 * rows_->rows().size());
  const DateFormatter dates(services_.calendar(), DateFormatter::Style::mediumDateShortTime);
  const Rows::Ways ways{[](const FocusHistoryRow& row) { return row.entry().id; },
                        [](const FocusHistoryEntry& entry) { return entry.id; },
                        // A row shows a newer state of its entry in place.
                        [&dates](FocusHistoryRow& row, const FocusHistoryEntry& entry) {
                          row.showEntry(entry, dates);
                          return true;
                        },
                        [&](const FocusHistoryEntry& entry) { return makeRow(entry, dates); }};
  const Rows::Pass pass = rows_->show(store_.entries(), ways, nullptr, budget);
  // Laid out now, so the rows' buttons are where they are drawn by the next event.
  if (list_->isVisible()) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  if (pass.madeBeforeKept) {
    orderTabs(pass.order);
  } else {
    for (FocusHistoryRow* row : pass.made) QWidget::setTabOrder(row->deleteButton(), clear_);
  }
  if (pass.more && !morePending_) {
    morePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          morePending_ = false;
          showRows();
        },
        Qt::QueuedConnection);
  }
}

FocusHistoryRow* FocusHistoryView::makeRow(const FocusHistoryEntry& entry,
                                           const DateFormatter& dates) {
  const UUID id = entry.id;
  return new FocusHistoryRow(
      entry, dates, [this, id] { markAccomplished(id); }, [this, id] { remove(id); }, list_);
}

void FocusHistoryView::orderTabs(const std::vector<FocusHistoryRow*>& rows) {
  // Reading order: every row's buttons, then "Clear history..." last.
  std::vector<QWidget*> chain;
  for (FocusHistoryRow* row : rows) {
    if (row->markButton()) chain.push_back(row->markButton());
    chain.push_back(row->deleteButton());
  }
  chain.push_back(clear_);
  for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void FocusHistoryView::showMessage() {
  QString sentence;
  if (error_) {
    sentence = *error_;
  } else if (const auto& stored = store_.errorMessage()) {
    sentence = QString::fromStdString(*stored);
  }
  // A line that comes, goes or changes moves the rows below it.
  if (sentence != message_->text() || sentence.isEmpty() == message_->isVisibleTo(this)) {
    guard_->contentChanging();
  }
  message_->showError(sentence);
}

void FocusHistoryView::change(const std::function<void()>& action) {
  const QPointer<FocusHistoryView> self(this);
  const std::optional<QString> failure = WindowContent::failureOf(action);
  // The store's announcement may have rebuilt or closed this content.
  if (!self) return;
  if (failure) {
    failed(*failure);
    return;
  }
  error_.reset();
  showMessage();
}

void FocusHistoryView::markAccomplished(const UUID& id) {
  change([&] { store_.markAccomplished(id, services_.clock.now()); });
}

void FocusHistoryView::remove(const UUID& id) {
  change([&] { store_.remove(id); });
}

void FocusHistoryView::askToClear() {
  const QPointer<FocusHistoryView> self(this);
  services_.confirmation.ask(
      *this,
      Confirmation{QStringLiteral("Clear all focus history?"), QStringLiteral("Clear history")},
      [self](bool confirmed) {
        if (self && confirmed) self->clearHistory();
      });
}

void FocusHistoryView::clearHistory() {
  const QPointer<FocusHistoryView> self(this);
  // The stored history is still there when this fails: say so rather than show an empty list.
  if (const std::optional<QString> failure =
          WindowContent::failureOf([this] { store_.document().clear(); })) {
    if (self) failed(*failure);
    return;
  }
  store_.setEntries({});
  store_.setErrorMessage(std::nullopt);
  if (!self) return;
  error_.reset();
  showMessage();
}

void FocusHistoryView::failed(const QString& failure) {
  error_ = QStringLiteral("The history change could not be saved: ") + failure;
  showMessage();
}

}  // namespace vorlane
