#pragma once

#include <optional>

#include "core/focus/focus_recovery_store.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

// The focus checkpoint kept under "focusRecovery.v1"; a stored checkpoint that fails the
// acceptance rule is kept and blocks saves like unreadable data.
class RecordFocusRecoveryStore final : public FocusRecoveryStore {
 public:
  static constexpr const char* key = "focusRecovery.v1";

  // Loads at once; null `recordStore` keeps the checkpoint in memory only. `recordStore` must
  // outlive the store.
  explicit RecordFocusRecoveryStore(RecordStore* recordStore);

  // Accepts no checkpoint, or one that is valid.
  static bool accepts(const std::optional<FocusCheckpoint>& checkpoint);

  Document& document() override { return document_; }
  const Document& document() const override { return document_; }

 private:
  LocalJSONDocument<std::optional<FocusCheckpoint>> document_;
};

}  // namespace vorlane
