#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/focus/focus_history_entry.h"
#include "core/focus/pomodoro_session.h"
#include "foundation/date.h"
#include "foundation/observers.h"
#include "foundation/uuid.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

// The finished focus sessions, newest first and at most 100, kept under "focusHistory".
// Every change saves the whole list first and publishes it only when the save succeeded;
// a failed change throws and leaves entries() and errorMessage() as they were. While the
// stored history is unreadable every change throws and the list stays empty until the
// document is cleared. Main thread only.
class FocusHistoryStore {
 public:
  using Document = LocalJSONDocument<std::vector<FocusHistoryEntry>>;
  // Runs before an entry is marked accomplished; throwing stops the marking.
  using OnAccomplished = std::function<void(const FocusHistoryEntry&, Date)>;

  static constexpr const char* key = "focusHistory";
  static constexpr std::size_t maximumEntries = 100;
  static constexpr const char* saveFailedMessage =
      "Focus history could not be saved. Existing records were kept.";

  // Loads at once; null `defaults` keeps the history in memory only. `defaults` must
  // outlive the store.
  explicit FocusHistoryStore(RecordStore* defaults);

  const std::vector<FocusHistoryEntry>& entries() const { return entries_; }
  // The message the history screens show: the load error, or a reported failure.
  const std::optional<std::string>& errorMessage() const { return errorMessage_; }
  // For a screen that cleared the document itself; both notify.
  void setEntries(std::vector<FocusHistoryEntry> entries);
  void setErrorMessage(std::optional<std::string> message);

  // Told after entries() or errorMessage() changed.
  Observers<>& changes() { return changes_; }

  Document& document() { return document_; }
  const Document& document() const { return document_; }

  void setOnAccomplished(OnAccomplished callback) { onAccomplished_ = std::move(callback); }

  // Puts a finished work phase with a focus text first, replacing the entry of the same
  // session (keeping its accomplishedAt, and its priorityID unless one is given). Breaks and
  // phases without a focus text are ignored. Throws what the save throws.
  void record(const PomodoroSession::Completion& completion,
              std::optional<UUID> priorityID = std::nullopt);

  // Marks the entry accomplished at `at` (an accomplished one keeps its first moment) and
  // saves. Throws FileError readCorruptFile while the stored history is unreadable,
  // FileError noSuchFile for an unknown id, what the callback throws (nothing changes),
  // or what the save throws.
  void markAccomplished(const UUID& id, Date at);

  // Deletes every entry with that id and saves, also when there was none.
  void remove(const UUID& id);

  // After a failed change: shows the save-failure message unless a message is already
  // shown, and logs the error's description.
  void reportFailure(const std::exception& error);

 private:
  void save(std::vector<FocusHistoryEntry> entries);

  Document document_;
  std::vector<FocusHistoryEntry> entries_;
  std::optional<std::string> errorMessage_;
  OnAccomplished onAccomplished_;
  Observers<> changes_;
};

}  // namespace vorlane
