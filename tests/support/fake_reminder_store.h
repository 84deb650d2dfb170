#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

#include "core/reminders/in_memory_reminder_store.h"
#include "core/reminders/reminder_store.h"
#include "platform/persistence/local_json_document.h"

namespace vorlane {

// A reminder store in memory whose changes can be refused, as the file store refuses them on
// a full disk: while `refusal` is set every change throws it and nothing changes. An update
// of an id that is not stored still answers false first, as the file store does. It counts
// the copies of its list handed out.
class FakeReminderStore final : public ReminderStore {
 public:
  std::vector<Reminder> reminders() const override {
    ++copies;
    return memory_.reminders();
  }
  std::uint64_t revision() const override { return memory_.revision(); }
  std::size_t count() const { return memory_.count(); }
  void add(const Reminder& reminder) override {
    refuse();
    memory_.add(reminder);
  }
  [[nodiscard]] bool update(const Reminder& reminder) override {
    for (const Reminder& stored : memory_.reminders()) {
      if (stored.id != reminder.id) continue;
      refuse();
      return memory_.update(reminder);
    }
    return false;
  }
  void remove(const UUID& id) override {
    refuse();
    memory_.remove(id);
  }
  void pruneExpired(Date date) override {
    refuse();
    memory_.pruneExpired(date);
  }

  // From now on every change throws the records' sentence for `failure`.
  void failWith(LocalJSONDocumentFailure failure) {
    refusal = std::make_exception_ptr(LocalJSONDocumentError(failure));
  }

  std::exception_ptr refusal;
  // How many changes were refused.
  int refused = 0;
  // How many times the list was copied out.
  mutable int copies = 0;

 private:
  void refuse() {
    if (!refusal) return;
    ++refused;
    std::rethrow_exception(refusal);
  }

  InMemoryReminderStore memory_;
};

}  // namespace vorlane
