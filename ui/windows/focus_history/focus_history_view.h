#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "core/focus/focus_history_entry.h"
#include "foundation/observers.h"
#include "foundation/uuid.h"
#include "ui/kit/keyed_rows.h"
#include "ui/kit/window_services.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace vorlane {

class ClickGuard;
class FocusHistoryRow;
class FocusHistoryStore;
class MessageLine;

// The focus history window's content: the store's entries, newest first, following every
// change the store publishes while the window is open. Each row stands for its entry's id:
// a change updates, adds or removes only the rows it concerns, so the list keeps its place. A row
// can be marked accomplished or deleted at once; "Clear history..." asks first. A failed change
// shows "The history change could not be saved: " and the store's reason; otherwise the line shows
// the store's own message (an unreadable stored history, a recording that failed). An unreadable
// history is never overwritten here, only cleared when the user confirms.
class FocusHistoryView final : public QWidget {
 public:
  // `store` and the services must outlive the view.
  FocusHistoryView(FocusHistoryStore& store, WindowServices services, QWidget* parent = nullptr);

  // Runs one change of the store; a failure shows in the message line, a success clears it.

  void change(const std::function<void()>& action);

  void markAccomplished(const UUID& id);
  void remove(const UUID& id);
  // Asks first; clears only on the confirming answer.
  void askToClear();

  MessageLine* errorLine() const { return message_; }
  QLabel* emptyNote() const { return empty_; }
  QPushButton* clearButton() const { return clear_; }
  // The rows on show, in order; past the first screenful they follow once the event loop
  // runs.
  std::vector<FocusHistoryRow*> rows() const;
  QScrollArea* list() const { return scroll_; }

 private:
  using Rows = KeyedRows<FocusHistoryRow, FocusHistoryEntry, UUID>;

  void refresh();
  // Brings the rows in line with the store's entries, making a screenful of new rows first;
  // the rest follow once the event loop is free.
  void showRows();
  FocusHistoryRow* makeRow(const FocusHistoryEntry& entry, const class DateFormatter& dates);
  void orderTabs(const std::vector<FocusHistoryRow*>& rows);
  void showMessage();
  void clearHistory();
  void failed(const QString& failure);

  FocusHistoryStore& store_;
  WindowServices services_;
  // The sentence of this window's last failed change.
  std::optional<QString> error_;
  MessageLine* message_ = nullptr;
  QLabel* empty_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QWidget* list_ = nullptr;
  std::optional<Rows> rows_;
  QPushButton* clear_ = nullptr;
  ClickGuard* guard_ = nullptr;
  // A pass for the rows still to make is queued.
  bool morePending_ = false;
  Observers<>::Subscription subscription_;
};

}  // namespace vorlane
