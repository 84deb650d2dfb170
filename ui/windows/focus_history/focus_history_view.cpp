#include "ui/windows/focus_history/focus_history_view.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>
#include <unordered_map>

#include "core/focus/focus_history_store.h"
#include "foundation/date_formatter.h"
#include "ui/kit/click_guard.h"
#include "ui/kit/desktop_texts.h"
#include "ui/kit/message_line.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"
#include "ui/kit/window_content.h"
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
  listColumn_ = new QVBoxLayout(list_);
  listColumn_->setContentsMargins(0, 0, 0, 0);
  listColumn_->setSpacing(0);
  listColumn_->addStretch(1);
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

std::vector<FocusHistoryRow*> FocusHistoryView::rows() const {
  std::vector<FocusHistoryRow*> shown;
  for (int i = 0; i < listColumn_->count(); ++i) {
    if (auto* row = dynamic_cast<FocusHistoryRow*>(listColumn_->itemAt(i)->widget())) {
      shown.push_back(row);
    }
  }
  return shown;
}

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
  const std::vector<FocusHistoryRow*> shown = rows();
  std::unordered_map<UUID, FocusHistoryRow*> byID;
  // A second row for one id (a stored list may repeat an id) is made anew each time.
  std::vector<FocusHistoryRow*> stale;
  for (FocusHistoryRow* row : shown) {
    if (!byID.emplace(row->entry().id, row).second) stale.push_back(row);
  }

  // A screenful first, so the window opens without waiting for a full history's rows; then
  // twice as many as are shown, so a long list is laid out a few times rather than once per
  // screenful.
  constexpr std::size_t screenful = 12;
  std::size_t budget = std::max(screenful, 2 * shown.size());
  bool more = false;
  // New rows that land before a kept one need the keyboard's order set again.
  bool madeBeforeKept = false;
  std::vector<FocusHistoryRow*> made;
  std::vector<FocusHistoryRow*> order;
  const DateFormatter dates(services_.calendar(), DateFormatter::Style::mediumDateShortTime);
  for (const FocusHistoryEntry& entry : store_.entries()) {
    if (const auto kept = byID.find(entry.id); kept != byID.end()) {
      kept->second->showEntry(entry, dates);
      order.push_back(kept->second);
      byID.erase(kept);
      madeBeforeKept = madeBeforeKept || !made.empty();
      continue;
    }
    if (budget == 0) {
      more = true;
      continue;
    }
    --budget;
    made.push_back(makeRow(entry, dates));
    order.push_back(made.back());
  }
  for (const auto& [id, row] : byID) stale.push_back(row);
  // The old rows go later: the button being clicked may be one of theirs.
  for (FocusHistoryRow* row : stale) {
    listColumn_->removeWidget(row);
    row->hide();
    row->deleteLater();
  }
  // Each row shown into a working layout would lay out the whole list again at once: the
  // list is laid out once, after all of them.
  listColumn_->setEnabled(false);
  for (std::size_t i = 0; i < order.size(); ++i) {
    const int at = static_cast<int>(i);
    if (listColumn_->itemAt(at)->widget() == order[i]) continue;
    listColumn_->removeWidget(order[i]);
    listColumn_->insertWidget(at, order[i]);
  }
  // Shown at their size in the list, so a row's first layout is already its real one; a
  // list not on screen yet shows its rows with itself.
  if (list_->isVisible()) {
    for (FocusHistoryRow* row : made) {
      row->resize(list_->width(), row->heightForWidth(list_->width()));
      row->show();
    }
  }
  listColumn_->setEnabled(true);
  listColumn_->invalidate();
  // Laid out now, so the rows' buttons are where they are drawn by the next event.
  if (list_->isVisible()) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  if (madeBeforeKept) {
    orderTabs(order);
  } else {
    for (FocusHistoryRow* row : made) QWidget::setTabOrder(row->deleteButton(), clear_);
  }
  if (more && !morePending_) {
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
  try {
    action();
  } catch (...) {
    if (self) failed(std::current_exception());
    return;
  }
  // The store's announcement may have rebuilt or closed this content.
  if (!self) return;
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
  try {
    store_.document().clear();
  } catch (...) {
    // The stored history is still there: say so rather than show an empty list.
    if (self) failed(std::current_exception());
    return;
  }
  store_.setEntries({});
  store_.setErrorMessage(std::nullopt);
  if (!self) return;
  error_.reset();
  showMessage();
}

void FocusHistoryView::failed(std::exception_ptr error) {
  error_ = QStringLiteral("The history change could not be saved: ") + failureSentence(error);
  showMessage();
}

}  // namespace vorlane
