#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/json.h"
#include "foundation/uuid.h"

namespace vorlane {

// The pomodoro timer as a plain value: a focus period, a wait for the user to take a break,
// a break, and the number of distinct focus sessions finished on the current day. It holds
// no timer or clock: every operation that depends on time takes the moment, and the one
// that depends on day boundaries the calendar.
//
// No operation fails or throws. An operation that does not apply to the current phase
// leaves the session exactly as it was (equal to a copy taken before the call). Amounts,
// durations and moments are used as they come, unchecked.
class PomodoroSession {
 public:
  enum class Kind { work, rest };
  enum class Event { workCompleted, breakCompleted };

  // "focus" for work, "break" for rest.
  static std::string_view label(Kind kind);

  class Phase {
   public:
    struct Working {
      Date startedAt;
      Date endsAt;
      bool operator==(const Working&) const = default;
    };
    // A focus period has ended; waiting for the user to start a break, skip it or go on.
    struct AwaitingBreak {
      Date since;
      bool operator==(const AwaitingBreak&) const = default;
    };
    struct OnBreak {
      Date startedAt;
      Date endsAt;
      bool operator==(const OnBreak&) const = default;
    };
    // A focus period or a break, stopped; resuming places it around the moment of resuming.
    struct Paused {
      double remaining = 0;
      Kind kind = Kind::work;
      double elapsed = 0;
      bool operator==(const Paused&) const = default;
    };
    struct Idle {
      bool operator==(const Idle&) const = default;
    };

    using Value = std::variant<Working, AwaitingBreak, OnBreak, Paused, Idle>;

    Phase() : value_(Idle{}) {}
    Phase(Working p) : value_(p) {}
    Phase(AwaitingBreak p) : value_(p) {}
    Phase(OnBreak p) : value_(p) {}
    Phase(Paused p) : value_(p) {}
    Phase(Idle p) : value_(p) {}

    const Value& value() const { return value_; }
    template <class T>
    bool is() const {
      return std::holds_alternative<T>(value_);
    }
    // The payload when the phase is a T, else null.
    template <class T>
    const T* as() const {
      return std::get_if<T>(&value_);
    }

    // work while working, rest on a break, a paused phase's own kind, none otherwise.
    std::optional<Kind> kind() const;

    bool operator==(const Phase&) const = default;

   private:
    Value value_;
  };

  // A phase that ended, held until the user acts on it.
  struct Completion {
    Kind kind = Kind::work;
    // The phase's full scheduled length (endsAt - startedAt), extensions included, pauses not.
    double duration = 0;
    // The phase's endsAt, not the moment the end was noticed.
    Date finishedAt;
    std::string focus;
    UUID sessionID;

    // "25 min focus complete": minutes rounded half away from zero.
    std::string title() const;
    // "Time to stand up and stretch." after work, "Ready when you are." after a break.
    std::string nudge() const;
    // How long ago the phase ended: "Finished just now", "Finished 5 min ago",
    // "Finished 1 hr 30 min ago".
    std::string elapsedDescription(Date now) const;

    bool operator==(const Completion&) const = default;
  };

  // What lets a running or paused focus survive a restart; never describes a break.
  struct Suspension {
    // Longest remaining or elapsed time a record may carry: seven days.
    static constexpr double maximumSeconds = 604800;

    UUID sessionID;
    std::string focus;
    double remaining = 0;
    double elapsed = 0;
    bool wasCounted = false;

    // Both numbers finite, 0 < remaining <= seven days, 0 <= elapsed <= seven days, and a
    // goal of at most FocusInput::maximumLength characters (grapheme clusters, as stored).
    bool isValid() const;

    // The object {"sessionID","focus","remaining","elapsed","wasCounted"}, every key
    // always written. Throws EncodingError for a non-finite number.
    Json toJson() const;
    // Requires all five keys with their types (numbers may be integers); extra keys are
    // ignored. Throws DecodingError naming the first bad field. Does not check isValid().
    static Suspension fromJson(const JsonReader& reader);

    bool operator==(const Suspension&) const = default;
  };

  // Lengths are the whole-minute counts times 60 (saturating instead of overflowing).
  PomodoroSession(std::int64_t workMinutes, std::int64_t breakMinutes);

  const Phase& phase() const { return phase_; }
  // The goal of the current focus, trimmed.
  const std::string& focus() const { return focus_; }
  // A fresh one on every start.
  const UUID& sessionID() const { return sessionID_; }
  // Distinct focus sessions counted on the day of the last recorded completion.
  std::int64_t completedToday() const { return completedToday_; }
  const std::optional<Completion>& completion() const { return completion_; }

  // Changing a length affects only phases started afterwards.
  double workDuration() const { return workDuration_; }
  double breakDuration() const { return breakDuration_; }
  void setWorkDuration(double seconds) { workDuration_ = seconds; }
  void setBreakDuration(double seconds) { breakDuration_ = seconds; }

  // True in every phase but idle (so also while awaiting a break and while paused).
  bool isRunning() const;
  bool isPaused() const;
  // Seconds left of a running (never negative) or paused phase; none awaiting a break or idle.
  std::optional<double> remaining(Date now) const;
  // Share of the phase done, 0...1; a phase of no length counts as done. None awaiting a
  // break or idle.
  std::optional<double> progress(Date now) const;
  // When a running focus or break ends.
  std::optional<Date> endsAt() const;

  // Begins a new focus from any phase: trimmed goal, fresh session id, no held completion.
  // A session replaced before it finished is never counted.
  void start(Date now, std::string_view focus);
  // Begins a break from any phase; the goal and session id stay.
  void startBreak(Date now);
  // Stops a running focus or break; other phases stay.
  void pause(Date now);
  // Continues a paused phase so that endsAt - startedAt is its full length again.
  void resume(Date now);
  // Lengthens the running or paused phase by `amount`; after a finished focus, continues the
  // same session so its next completion covers both parts.
  void extend(double amount, Date now);
  // Like cancel() while awaiting a break or in a (paused) break; otherwise nothing.
  void skipBreak();
  // Back to idle without a goal or held completion; the counting state stays.
  void cancel();
  // Ends the running phase when `now` has reached its endsAt, at most one phase per call,
  // and holds its completion. A finished focus is counted once, on the day (in `calendar`)
  // of the moment it was noticed.
  std::optional<Event> advance(Date now, const Calendar& calendar);
  // Uncounts the last counted session; the current one is counted again if it finishes again.
  void discardLastCompletion();

  // A record of the running or paused focus, when it is valid; nothing changes.
  std::optional<Suspension> suspension(Date now) const;
  // Takes a valid record over as a paused focus and returns true; an invalid one returns
  // false and leaves the session as it was.
  [[nodiscard]] bool restore(const Suspension& suspension);

  // The status item's line: "Done" while a completion is held, else "Focus 25:00",
  // "Break 4:59", "Paused 12:34", or empty awaiting a break or idle.
  std::string statusText(Date now) const;
  // Minutes and seconds, rounded up: "25:00", "90:00", "0:01"; negative or NaN gives "0:00".
  static std::string countdown(double seconds);

  bool operator==(const PomodoroSession&) const = default;

 private:
  void recordCompletion(Date now, const Calendar& calendar);

  Phase phase_;
  std::string focus_;
  UUID sessionID_;
  std::int64_t completedToday_ = 0;
  std::optional<Date> completedOn_;
  std::vector<UUID> countedSessionIDs_;
  bool currentSessionWasCounted_ = false;
  std::optional<Completion> completion_;
  double workDuration_ = 0;
  double breakDuration_ = 0;
};

}  // namespace vorlane
