#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/productivity/daily_priorities.h"
#include "foundation/observers.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

// The user's daily priorities plan, kept under "dailyPriorities.v1" and published for the
// screens. A stored plan that does not read back or breaks the plan's limits is kept and
// blocks saves until clear(). Main thread only.
class DailyPrioritiesStore {
 public:
  using Document = LocalJSONDocument<DailyPriorities>;

  static constexpr const char* key = "dailyPriorities.v1";

  // Loads at once; null `defaults` keeps the plan in memory only. `defaults` must outlive
  // the store.
  explicit DailyPrioritiesStore(RecordStore* defaults);

  const DailyPriorities& plan() const { return plan_; }
  // The load error shown by the Today window.
  const std::optional<std::string>& errorMessage() const { return errorMessage_; }
  // For a caller that saved through document() itself; both notify.
  void setPlan(DailyPriorities plan);
  void setErrorMessage(std::optional<std::string> message);

  // Told after plan() or errorMessage() changed.
  Observers<>& changes() { return changes_; }

  Document& document() { return document_; }
  const Document& document() const { return document_; }

  // Applies `change` to a copy of the plan, saves the result, then publishes it. Throws what
  // `change` throws (DailyPriorities::Error) or what the save throws (LocalJSONDocumentError
  // unreadable or invalid, the encoder's or the database's error); plan() is then unchanged.
  void apply(const std::function<void(DailyPriorities&)>& change);

  // Removes the stored plan, forgets a load error and publishes the empty plan.
  void clear();

 private:
  Document document_;
  DailyPriorities plan_;
  std::optional<std::string> errorMessage_;
  Observers<> changes_;
};

}  // namespace vorlane
