#pragma once

#include <algorithm>
#include <cstddef>
#include <exception>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ui/tray/status_source.h"

namespace vorlane {

// A status source that shows what a test sets, remembers the commands it was asked to run
// and keeps reminders in a map; a save throws `refusal` when one is set. A page of the menu
// reads the reminder rows of `state` from its first on, as the coordinator gives them.
class FakeStatusSource final : public StatusSource {
 public:
  CoordinatorStatus snapshot(StatusReading reading, std::size_t firstReminder) const override {
    ++reads[reading];
    ++snapshots;
    if (firstReminder == 0) return state;
    CoordinatorStatus page = state;
    page.reminderCount = std::max(state.reminderCount, state.reminders.size());
    page.firstReminder = std::min(firstReminder, state.reminders.size());
    page.reminders.erase(page.reminders.begin(),
                         page.reminders.begin() + std::ptrdiff_t(page.firstReminder));
    return page;
  }
  void run(StatusCommand command, const StatusData& data) override {
    ran.emplace_back(command, data);
  }
  std::optional<Reminder> storedReminder(const UUID& id) const override {
    const auto found = reminders.find(id);
    if (found == reminders.end()) return std::nullopt;
    return found->second;
  }
  Reminder addReminder(const std::string& text) override {
    if (refusal) std::rethrow_exception(refusal);
    const Reminder reminder(UUID::random(), text, VisitTrigger::hourly(), Date(0));
    reminders.insert_or_assign(reminder.id, reminder);
    added.push_back(text);
    return reminder;
  }
  Reminder updateReminder(const UUID& id, const std::string& phrase,
                          const std::string& schedule) override {
    if (refusal) std::rethrow_exception(refusal);
    Reminder& reminder = reminders.at(id);
    reminder.phrase = phrase;
    updated.push_back({phrase, schedule});
    return reminder;
  }

  CoordinatorStatus state;
  // How often the state was read, whatever for.
  mutable int snapshots = 0;
  // How often a snapshot was read for each use.
  mutable std::map<StatusReading, int> reads;
  std::vector<std::pair<StatusCommand, StatusData>> ran;
  std::map<UUID, Reminder> reminders;
  std::vector<std::string> added;
  // Phrase and schedule of each update.
  std::vector<std::pair<std::string, std::string>> updated;
  std::exception_ptr refusal;
};

}  // namespace vorlane
