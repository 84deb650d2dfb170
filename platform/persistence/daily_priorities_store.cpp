#include "platform/persistence/daily_priorities_store.h"

#include <utility>

namespace vorlane {

DailyPrioritiesStore::DailyPrioritiesStore(RecordStore* defaults)
    : document_(defaults, key, DailyPriorities(),
                [](const DailyPriorities& plan) { return plan.isValid(); }),
      plan_(document_.value()),
      errorMessage_(document_.errorMessage()) {}

void DailyPrioritiesStore::setPlan(DailyPriorities plan) {
  plan_ = std::move(plan);
  changes_.notify();
}

void DailyPrioritiesStore::setErrorMessage(std::optional<std::string> message) {
  errorMessage_ = std::move(message);
  changes_.notify();
}

void DailyPrioritiesStore::apply(const std::function<void(DailyPriorities&)>& change) {
  DailyPriorities next = plan_;
  change(next);
  document_.save(next);
  setPlan(std::move(next));
}

void DailyPrioritiesStore::clear() {
  document_.clear();
  plan_ = document_.value();
  errorMessage_.reset();
  changes_.notify();
}

}  // namespace vorlane
