#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "coordination/calendar_focus/calendar_focus_opt_in.h"
#include "coordination/calendar_focus/calendar_focus_state.h"
#include "core/contracts/calendar_availability_source.h"
#include "core/contracts/clock.h"
#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/observers.h"

namespace vorlane {

// The state behind the calendar focus window: the user's opt-in, the busy times read up to a
// short horizon, and the focus block that fits before the next one. It reads the calendar
// only when enabled, refreshed or starting, never on its own; it stores only the opt-in.
//
// Main thread only. The operations that wait (enable, refresh, start) return at once and call
// their completion exactly once, on every path, after the state has settled. They may
// overlap: each one begun (and disable) advances a revision counter, and a result that comes
// back after the counter has moved on is dropped without changing anything, so the last
// operation begun wins. Failures never leave the model; they become a state.
class CalendarFocusModel {
 public:
  using State = CalendarFocusState;
  // Starts a focus of the given minutes with the cleaned goal; throws the refusal to show.
  using StartAction = std::function<void(int minutes, const std::string& goal)>;

  struct Dependencies {
    std::shared_ptr<CalendarAvailabilitySource> source;
    std::shared_ptr<const Clock> clock;
    // The user's calendar, for the end of today; read at each refresh.
    std::function<Calendar()> calendar;
    // The user's focus length in minutes, asked at every use.
    std::function<int()> maximumMinutes;
    // Where the opt-in is kept; none keeps nothing and starts disabled.
    RecordStore* recordStore = nullptr;
  };

  // Reads the stored opt-in; nothing from the calendar. Throws std::invalid_argument when
  // the source, clock, calendar or focus length is missing.
  explicit CalendarFocusModel(Dependencies dependencies);
  ~CalendarFocusModel();
  CalendarFocusModel(const CalendarFocusModel&) = delete;
  CalendarFocusModel& operator=(const CalendarFocusModel&) = delete;

  const State& state() const { return state_; }
  // Opted in, with access granted; mirrors the stored flag.
  bool isEnabled() const { return enabled_; }
  // When the busy times were last read; none before the first read or after losing access.
  const std::optional<Date>& checkedAt() const { return checkedAt_; }
  const std::optional<FocusOpportunity>& opportunity() const { return state_.opportunity(); }
  bool isBusy() const { return state_.isBusy(); }
  int revision() const { return revision_; }
  // The source's access as it reads now.
  CalendarAccess access() const;

  // Told once after every operation step that changed the state, the opt-in or checkedAt.
  Observers<>& changes() { return changes_; }

  // The opt-in: asks for access when it was never asked, then reads. Does nothing (but
  // completes) while the model is busy.
  void enable(std::function<void()> done = nullptr);
  // Asks for access again even after a refusal (the desktop has no settings page where the
  // answer could be changed), then goes on as enable does. Does nothing (but completes)
  // while the model is busy.
  void askAgain(std::function<void()> done = nullptr);
  // Reads the calendar again when enabled; otherwise only the revision moves.
  void refresh(std::function<void()> done = nullptr);
  // The opt-out, at once: forgets the last check and drops any read under way.
  void disable();
  // Re-reads the calendar and, when a block is still free, runs `action` with its minutes and
  // the cleaned goal. `done` gets whether the action ran without throwing. An invalid goal
  // fails at once and reads nothing.
  void start(const std::string& goal, StartAction action, std::function<void(bool)> done);

  // The window went away: drops what is under way and, if busy, shows disabled. The opt-in
  // stays, so the next showing reads again.
  void windowDisappeared();

 private:
  struct Snapshot {
    State state;
    bool enabled;
    std::optional<Date> checkedAt;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot snapshot() const { return {state_, enabled_, checkedAt_}; }
  // Notifies when anything published differs from `before`.
  void publish(const Snapshot& before);
  // Sets the flag and its stored copy together.
  void setEnabled(bool enabled);
  void loseAccess(CalendarAccess access);
  // Advances the revision and shows that the user's answer is awaited; returns the revision.
  int beginRequest();
  void requestAccess(int expected, std::function<void()> done);
  void finishEnable(int expected, bool granted, std::function<void()> done);
  void finishRefresh(int expected, Date through, std::vector<BusyInterval> busy,
                     std::exception_ptr error);
  Date readThrough(Date now) const;
  // Whether the model still exists when a completion arrives.
  std::weak_ptr<int> lifetime() const { return alive_; }

  std::shared_ptr<CalendarAvailabilitySource> source_;
  std::shared_ptr<const Clock> clock_;
  std::function<Calendar()> calendar_;
  std::function<int()> maximumMinutes_;
  CalendarFocusOptIn optIn_;

  State state_ = State::disabled();
  bool enabled_ = false;
  std::optional<Date> checkedAt_;
  int revision_ = 0;
  Observers<> changes_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace vorlane
