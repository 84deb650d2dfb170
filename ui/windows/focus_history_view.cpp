#include "ui/windows/focus_history_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "core/focus/focus_history_store.h"
#include "foundation/date_formatter.h"
#include "ui/kit/desktop_texts.h"
#include "ui/kit/message_line.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"
#include "ui/windows/failure_sentence.h"
#include "ui/windows/focus_history_row.h"

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
  rebuildRows();
  const bool empty = store_.entries().empty();
  empty_->setVisible(empty);
  scroll_->setVisible(!empty);
  const bool unreadableOrFailed = store_.errorMessage() && !store_.errorMessage()->empty();
  // An unreadable history shows no entries and must still be clearable.
  clear_->setEnabled(!empty || unreadableOrFailed);
  showMessage();
}

void FocusHistoryView::rebuildRows() {
  // The old rows go later: the button being clicked may be one of theirs.
  for (FocusHistoryRow* row : rows()) {
    listColumn_->removeWidget(row);
    row->hide();
    row->deleteLater();
  }
  ++generation_;
  addRows(0, generation_);
}

void FocusHistoryView::addRows(std::size_t from, std::uint64_t generation) {
  // A newer list has replaced the one these rows were for.
  if (generation != generation_) return;
  const std::vector<FocusHistoryEntry>& entries = store_.entries();
  // A screenful at once, so the window opens without waiting for a full history's rows;
  // the rest follow as soon as the event loop is free.
  constexpr std::size_t batch = 12;
  const std::size_t until = std::min(entries.size(), from + batch);
  const DateFormatter dates(services_.calendar(), DateFormatter::Style::mediumDateShortTime);
  for (std::size_t i = from; i < until; ++i) {
    const UUID id = entries[i].id;
    auto* row = new FocusHistoryRow(
        entries[i], dates, [this, id] { markAccomplished(id); }, [this, id] { remove(id); },
        list_);
    listColumn_->insertWidget(static_cast<int>(i), row);
    QWidget::setTabOrder(row->deleteButton(), clear_);
  }
  if (until < entries.size()) {
    QMetaObject::invokeMethod(
        this, [this, until, generation] { addRows(until, generation); }, Qt::QueuedConnection);
  }
}

void FocusHistoryView::showMessage() {
  if (error_) {
    message_->showError(*error_);
  } else if (const auto& stored = store_.errorMessage()) {
    message_->showError(QString::fromStdString(*stored));
  } else {
    message_->clearMessage();
  }
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
