#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/contracts/clock.h"
#include "core/contracts/visit.h"
#include "core/reminders/reminder.h"
#include "core/settings/preferences.h"
#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/uuid.h"

namespace vorlane {

// Decides which hourly and reminder visits are due. Polled: each `dueVisits()` call answers
// what became due since the previous one. A due time found more than `staleTolerance`
// late is skipped and reported instead, so waking from sleep never replays a backlog.
// Keeps no timers; the settings are read through the provider at every decision.
// Single-threaded: every call, and the callback, on one thread.
class VisitScheduler {
 public:
  static constexpr double staleTolerance = 90;

  VisitScheduler(std::shared_ptr<const Clock> clock, Calendar calendar,
                 std::function<Preferences()> preferences);
  VisitScheduler(const VisitScheduler&) = delete;
  VisitScheduler& operator=(const VisitScheduler&) = delete;

  // Told the due times skipped as stale (hourly ones first, ascending, then reminder
  // times in list order); called at most once per `dueVisits()`, before it returns.
  std::function<void(const std::vector<Date>&)> onSkippedStaleVisits;

  // Replaces the reminders considered. A one-shot's fired mark survives only when the
  // first reminder with its id in both lists has the same trigger and creation time, so
  // editing the phrase never re-fires it while moving its time does.
  void setReminders(std::vector<Reminder> reminders);

  // The first reminder considered with that id; null when there is none. Good until the
  // next `setReminders`.
  const Reminder* reminder(const UUID& id) const;

  // Moves the anchor to now: whatever fell due since the last decision is neither
  // delivered nor reported.
  void reanchor();

  // The visits due since the last call, sorted by due time (hourly before reminders, and
  // reminders in list order, at equal times). The first call, and any call that finds the
  // clock not later than the anchor, only anchors.
  std::vector<Visit> dueVisits();

  // The next hourly visit after `after` (now when absent) inside the active hours; none
  // when the bounded search finds none.
  std::optional<Date> nextHourlyVisit(std::optional<Date> after = std::nullopt) const;

  // The soonest time at or after `onOrAfter` that a reminder considered is set for, by its
  // trigger alone (a one-shot already delivered counts); none when there is none. Reuses
  // and keeps the searches `dueVisits` keeps, so that asking between polls costs little.
  std::optional<Date> nextReminderTime(Date onOrAfter);

 private:
  // The last fire time found for a reminder, reusable while the search start stays between
  // where that search began and the time found. Recurring searches cost calendar work, and
  // a poll of thousands of reminders must stay cheap.
  struct OccurrenceMemo {
    bool neverFires = false;
    Date searchedFrom;
    std::optional<Date> due;
  };

  std::optional<Date> nextBoundary(Date after, int stepMinutes) const;
  std::vector<Date> hourlyFireDates(Date after, Date through, const Preferences& preferences) const;
  std::optional<Date> occurrence(std::size_t index, Date onOrAfter);

  std::shared_ptr<const Clock> clock_;
  Calendar calendar_;
  std::function<Preferences()> preferencesProvider_;
  std::optional<Date> lastEvaluation_;
  std::vector<Reminder> reminders_;
  // Where the first reminder with each id stands in `reminders_`.
  std::unordered_map<UUID, std::size_t> firstIndex_;
  std::vector<OccurrenceMemo> memos_;  // one per reminder, same order
  std::unordered_set<UUID> firedReminderIDs_;
};

}  // namespace vorlane
