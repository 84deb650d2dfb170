#include "platform/persistence/record_focus_recovery_store.h"

namespace vorlane {

RecordFocusRecoveryStore::RecordFocusRecoveryStore(RecordStore* recordStore)
    : document_(recordStore, key, std::nullopt, &RecordFocusRecoveryStore::accepts) {}

bool RecordFocusRecoveryStore::accepts(const std::optional<FocusCheckpoint>& checkpoint) {
  return !checkpoint || checkpoint->isValid();
}

}  // namespace vorlane
