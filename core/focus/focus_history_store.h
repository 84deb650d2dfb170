#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/contracts/stored_document.h"
#include "core/focus/focus_history_entry.h"
#include "core/focus/pomodoro_session.h"
#include "foundation/date.h"
#include "foundation/observers.h"
#include "foundation/uuid.h"

namespace vorlane {

// The finished focus sessions, newest first and at most 100. Every change saves the whole
// list first and publishes it only when the save succeeded; a failed change throws and
// leaves entries() and errorMessage() as they were. While the stored history is unreadable
// every change throws and the list stays empty until the document is cleared. Main thread
// only.
class FocusHistoryStore {
 public:
  using Document = StoredDocument<std::vector<FocusHistoryEntry>>;
  // Runs before an entry is marked accomplished; throwing stops the marking.
  using OnAccomplished = std::function<void(const FocusHistoryEntry&, Date)>;

  static constexpr std::size_t maximumEntries = 100;
  static constexpr const char* saveFailedMessage =
      "Focus history could not be saved. Existing records were kept.";

  FocusHistoryStore() = default;
  FocusHistoryStore(const FocusHistoryStore&) = delete;
  FocusHistoryStore& operator=(const FocusHistoryStore&) = delete;
  virtual ~FocusHistoryStore() = default;

  virtual const std::vector<FocusHistoryEntry>& entries() const = 0;
  // The message the history screens show: the load error, or a reported failure.
  virtual const std::optional<std::string>& errorMessage() const = 0;
  // For a screen that cleared the document itself; both notify.
  virtual void setEntries(std::vector<FocusHistoryEntry> entries) = 0;
  virtual void setErrorMessage(std::optional<std::string> message) = 0;

  virtual Document& document() = 0;
  virtual const Document& document() const = 0;

  void setOnAccomplished(OnAccomplished callback) { onAccomplished_ = std::move(callback); }

  // Puts a finished work phase with a focus text first, replacing the entry of the same
  // session (keeping its accomplishedAt, and its priorityID unless one is given). Breaks and
  // phases without a focus text are ignored. Throws what the save throws.
  virtual void record(const PomodoroSession::Completion& completion,
                      std::optional<UUID> priorityID = std::nullopt) = 0;
  // Marks the entry accomplished at `at` (an accomplished one keeps its first moment) and
  // saves. Throws while the stored history is unreadable, for an unknown id, what the
  // accomplishment callback throws (nothing changes), or what the save throws.
  virtual void markAccomplished(const UUID& id, Date at) = 0;
  // Deletes every entry with that id and saves, also when there was none.
  virtual void remove(const UUID& id) = 0;
  // After a failed change: shows the save-failure message unless a message is already
  // shown, and logs the error's description.
  virtual void reportFailure(const std::exception& error) = 0;

  // Told after entries() or errorMessage() changed.
  Observers<>& changes() { return changes_; }

 protected:
  // Copies before calling: the callback may replace itself or change this store.
  void notifyAccomplished(const FocusHistoryEntry& entry, Date at) const {
    if (!onAccomplished_) return;
    const OnAccomplished callback = onAccomplished_;
    const FocusHistoryEntry copy = entry;
    callback(copy, at);
  }

  Observers<> changes_;

 private:
  OnAccomplished onAccomplished_;
};

}  // namespace vorlane
