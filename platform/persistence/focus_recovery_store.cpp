#include "platform/persistence/focus_recovery_store.h"

namespace vorlane {

FocusRecoveryStore::FocusRecoveryStore(RecordStore* defaults)
    : document_(defaults, key, std::nullopt, &FocusRecoveryStore::accepts) {}

bool FocusRecoveryStore::accepts(const std::optional<FocusCheckpoint>& checkpoint) {
  return !checkpoint || checkpoint->isValid();
}

}  // namespace vorlane
