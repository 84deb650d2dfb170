#pragma once

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "core/focus/focus_history_store.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

// The focus history kept under "focusHistory". Marking throws FileError readCorruptFile
// while the stored history is unreadable and FileError noSuchFile for an unknown id.
class RecordFocusHistoryStore final : public FocusHistoryStore {
 public:
  static constexpr const char* key = "focusHistory";

  // Loads at once; null `recordStore` keeps the history in memory only. `recordStore` must
  // outlive the store.
  explicit RecordFocusHistoryStore(RecordStore* recordStore);

  const std::vector<FocusHistoryEntry>& entries() const override { return entries_; }
  const std::optional<std::string>& errorMessage() const override { return errorMessage_; }
  void setEntries(std::vector<FocusHistoryEntry> entries) override;
  void setErrorMessage(std::optional<std::string> message) override;

  Document& document() override { return document_; }
  const Document& document() const override { return document_; }

  void record(const PomodoroSession::Completion& completion,
              std::optional<UUID> priorityID = std::nullopt) override;
  void markAccomplished(const UUID& id, Date at) override;
  void remove(const UUID& id) override;
  void reportFailure(const std::exception& error) override;

 private:
  void save(std::vector<FocusHistoryEntry> entries);

  LocalJSONDocument<std::vector<FocusHistoryEntry>> document_;
  std::vector<FocusHistoryEntry> entries_;
  std::optional<std::string> errorMessage_;
};

}  // namespace vorlane
