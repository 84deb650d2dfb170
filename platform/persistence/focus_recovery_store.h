#pragma once

#include <optional>

#include "core/focus/focus_checkpoint.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

// Keeps the one focus checkpoint, if any, under "focusRecovery.v1". The owner decides when
// to save, restore and clear; a stored checkpoint that fails the acceptance rule is kept
// and blocks saves like unreadable data. Main thread only.
class FocusRecoveryStore {
 public:
  using Document = LocalJSONDocument<std::optional<FocusCheckpoint>>;

  static constexpr const char* key = "focusRecovery.v1";

  // Loads at once; null `defaults` keeps the checkpoint in memory only. `defaults` must
  // outlive the store.
  explicit FocusRecoveryStore(RecordStore* defaults);

  // Accepts no checkpoint, or one that is valid.
  static bool accepts(const std::optional<FocusCheckpoint>& checkpoint);

  Document& document() { return document_; }
  const Document& document() const { return document_; }

  // Stores the checkpoint; throws what Document::save throws, and then nothing changed.
  void save(const FocusCheckpoint& checkpoint) { document_.save(checkpoint); }
  // Removes the stored checkpoint and forgets a load error; throws what Document::clear
  // throws, and then nothing changed.
  void clear() { document_.clear(); }

 private:
  Document document_;
};

}  // namespace vorlane
