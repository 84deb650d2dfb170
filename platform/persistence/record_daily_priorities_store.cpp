#include "platform/persistence/record_daily_priorities_store.h"

#include <utility>

namespace vorlane {

RecordDailyPrioritiesStore::RecordDailyPrioritiesStore(RecordStore* recordStore)
    : document_(recordStore, key, DailyPriorities(),
                [](const DailyPriorities& plan) { return plan.isValid(); }),
      plan_(document_.value()),
      errorMessage_(document_.errorMessage()) {}

void RecordDailyPrioritiesStore::setPlan(DailyPriorities plan) {
  plan_ = std::move(plan);
  changes_.notify();
}

void RecordDailyPrioritiesStore::setErrorMessage(std::optional<std::string> message) {
  errorMessage_ = std::move(message);
  changes_.notify();
}

void RecordDailyPrioritiesStore::apply(const std::function<void(DailyPriorities&)>& change) {
  DailyPriorities next = plan_;
  change(next);
  document_.save(next);
  setPlan(std::move(next));
}

void RecordDailyPrioritiesStore::clear() {
  document_.clear();
  plan_ = document_.value();
  errorMessage_.reset();
  changes_.notify();
}

}  // namespace vorlane
