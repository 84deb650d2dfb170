#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/reminders/reminder_store.h"

namespace vorlane {

// A reminder store that keeps its list in memory only; no change fails.
class InMemoryReminderStore final : public ReminderStore {
 public:
  explicit InMemoryReminderStore(std::vector<Reminder> reminders = {})
      : reminders_(std::move(reminders)) {}

  std::vector<Reminder> reminders() const override { return reminders_; }
  std::uint64_t revision() const override { return revision_; }
  std::size_t count() const { return reminders_.size(); }
  void add(const Reminder& reminder) override;
  [[nodiscard]] bool update(const Reminder& reminder) override;
  void remove(const UUID& id) override;
  void pruneExpired(Date date) override;

 private:
  std::vector<Reminder> reminders_;
  std::uint64_t revision_ = 0;
};

}  // namespace vorlane
