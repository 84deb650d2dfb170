#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/productivity/daily_priorities_store.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

// The daily priorities plan kept under "dailyPriorities.v1". A stored plan that does not
// read back or breaks the plan's limits is kept and blocks saves until clear().
class RecordDailyPrioritiesStore final : public DailyPrioritiesStore {
 public:
  static constexpr const char* key = "dailyPriorities.v1";

  // Loads at once; null `recordStore` keeps the plan in memory only. `recordStore` must outlive
  // the store.
  explicit RecordDailyPrioritiesStore(RecordStore* recordStore);

  const DailyPriorities& plan() const override { return plan_; }
  const std::optional<std::string>& errorMessage() const override { return errorMessage_; }
  void setPlan(DailyPriorities plan) override;
  void setErrorMessage(std::optional<std::string> message) override;

  Document& document() override { return document_; }
  const Document& document() const override { return document_; }

  // The save throws LocalJSONDocumentError (unreadable or invalid), the encoder's or the
  // database's error.
  void apply(const std::function<void(DailyPriorities&)>& change) override;
  void clear() override;

 private:
  LocalJSONDocument<DailyPriorities> document_;
  DailyPriorities plan_;
  std::optional<std::string> errorMessage_;
};

}  // namespace vorlane
