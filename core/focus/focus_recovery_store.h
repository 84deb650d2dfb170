#pragma once

#include <optional>

#include "core/contracts/stored_document.h"
#include "core/focus/focus_checkpoint.h"

namespace vorlane {

// Keeps the one focus checkpoint, if any. The owner decides when to save, restore and
// clear; a stored checkpoint that cannot be read, or is not valid, is kept and blocks saves.
// Main thread only.
class FocusRecoveryStore {
 public:
  using Document = StoredDocument<std::optional<FocusCheckpoint>>;

  FocusRecoveryStore() = default;
  FocusRecoveryStore(const FocusRecoveryStore&) = delete;
  FocusRecoveryStore& operator=(const FocusRecoveryStore&) = delete;
  virtual ~FocusRecoveryStore() = default;

  virtual Document& document() = 0;
  virtual const Document& document() const = 0;

  // Stores the checkpoint; throws what Document::save throws, and then nothing changed.
  void save(const FocusCheckpoint& checkpoint) { document().save(checkpoint); }
  // Removes the stored checkpoint and forgets a load error; throws what Document::clear
  // throws, and then nothing changed.
  void clear() { document().clear(); }
};

}  // namespace vorlane
