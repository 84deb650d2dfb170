#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/contracts/stored_document.h"
#include "core/productivity/daily_priorities.h"
#include "foundation/observers.h"

namespace vorlane {

// The user's daily priorities plan, published for the screens. A stored plan that cannot be
// read is kept and blocks saves until clear(). Main thread only.
class DailyPrioritiesStore {
 public:
  using Document = StoredDocument<DailyPriorities>;

  DailyPrioritiesStore() = default;
  DailyPrioritiesStore(const DailyPrioritiesStore&) = delete;
  DailyPrioritiesStore& operator=(const DailyPrioritiesStore&) = delete;
  virtual ~DailyPrioritiesStore() = default;

  virtual const DailyPriorities& plan() const = 0;
  // The load error shown by the Today window.
  virtual const std::optional<std::string>& errorMessage() const = 0;
  // For a caller that saved through document() itself; both notify.
  virtual void setPlan(DailyPriorities plan) = 0;
  virtual void setErrorMessage(std::optional<std::string> message) = 0;

  virtual Document& document() = 0;
  virtual const Document& document() const = 0;

  // Applies `change` to a copy of the plan, saves the result, then publishes it. Throws what
  // `change` throws (DailyPriorities::Error) or what the save throws; plan() is then
  // unchanged.
  virtual void apply(const std::function<void(DailyPriorities&)>& change) = 0;
  // Removes the stored plan, forgets a load error and publishes the empty plan. Throws when
  // the stored plan could not be removed; then nothing changed.
  virtual void clear() = 0;

  // Told after plan() or errorMessage() changed.
  Observers<>& changes() { return changes_; }

 protected:
  Observers<> changes_;
};

}  // namespace vorlane
