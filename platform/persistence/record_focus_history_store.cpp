#include "platform/persistence/record_focus_history_store.h"

#include <algorithm>
#include <utility>

#include "platform/logging/log.h"
#include "platform/persistence/file_error.h"

namespace vorlane {

namespace {

auto withID(const UUID& id) {
  return [&id](const FocusHistoryEntry& entry) { return entry.id == id; };
}

}  // namespace

RecordFocusHistoryStore::RecordFocusHistoryStore(RecordStore* recordStore)
    : document_(recordStore, key, {}), errorMessage_(document_.errorMessage()) {
  const auto& stored = document_.value();
  entries_.assign(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(
                                                       std::min(stored.size(), maximumEntries)));
}

void RecordFocusHistoryStore::setEntries(std::vector<FocusHistoryEntry> entries) {
  entries_ = std::move(entries);
  changes_.notify();
}

void RecordFocusHistoryStore::setErrorMessage(std::optional<std::string> message) {
  errorMessage_ = std::move(message);
  changes_.notify();
}

void RecordFocusHistoryStore::record(const PomodoroSession::Completion& completion,
                                     std::optional<UUID> priorityID) {
  if (completion.kind != PomodoroSession::Kind::work || completion.focus.empty()) return;

  FocusHistoryEntry entry{completion.sessionID,  completion.focus, completion.duration,
                          completion.finishedAt, std::nullopt,     priorityID};
  const auto existing = std::find_if(entries_.begin(), entries_.end(), withID(entry.id));
  if (existing != entries_.end()) {
    entry.accomplishedAt = existing->accomplishedAt;
    if (!entry.priorityID) entry.priorityID = existing->priorityID;
  }

  std::vector<FocusHistoryEntry> list{entry};
  std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(list),
               [&entry](const FocusHistoryEntry& other) { return other.id != entry.id; });
  if (list.size() > maximumEntries) list.resize(maximumEntries);
  save(std::move(list));
}

void RecordFocusHistoryStore::markAccomplished(const UUID& id, Date at) {
  if (document_.errorMessage()) {
    throw FileError(FileErrorCode::readCorruptFile, "the saved focus history could not be read.");
  }
  const auto found = std::find_if(entries_.begin(), entries_.end(), withID(id));
  if (found == entries_.end()) {
    throw FileError(FileErrorCode::noSuchFile, "this entry is no longer in the focus history.");
  }
  notifyAccomplished(*found, at);

  std::vector<FocusHistoryEntry> list = entries_;
  const auto target = std::find_if(list.begin(), list.end(), withID(id));
  if (target != list.end() && !target->accomplishedAt) target->accomplishedAt = at;
  save(std::move(list));
}

void RecordFocusHistoryStore::remove(const UUID& id) {
  std::vector<FocusHistoryEntry> list = entries_;
  std::erase_if(list, withID(id));
  save(std::move(list));
}

void RecordFocusHistoryStore::reportFailure(const std::exception& error) {
  if (!errorMessage_) setErrorMessage(std::string(saveFailedMessage));
  Log::pomodoro().error("focus history change failed: %{public}s", error.what());
}

void RecordFocusHistoryStore::save(std::vector<FocusHistoryEntry> entries) {
  document_.save(entries);
  entries_ = std::move(entries);
  errorMessage_.reset();
  changes_.notify();
}

}  // namespace vorlane
