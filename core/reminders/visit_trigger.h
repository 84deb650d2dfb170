#pragma once

#include <optional>
#include <variant>

#include "core/reminders/recurrence.h"
#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/json.h"

namespace vorlane {

// When a reminder fires.
class VisitTrigger {
 public:
  enum class Case { hourly, oneOff, recurring, countdown };

  // Every hour; has no fire time of its own (the hourly visits cover it).
  static VisitTrigger hourly() { return VisitTrigger(Hourly{}); }
  // Once, at that instant.
  static VisitTrigger oneOff(Date date) { return VisitTrigger(OneOff{date}); }
  // At a wall-clock time on the recurrence's days.
  static VisitTrigger recurring(Recurrence recurrence) {
    return VisitTrigger(Recurring{std::move(recurrence)});
  }
  // Once, `seconds` after the reminder's creation.
  static VisitTrigger countdown(double seconds) { return VisitTrigger(Countdown{seconds}); }

  Case value() const { return static_cast<Case>(value_.index()); }
  // The payload of the matching case; none for the other cases.
  std::optional<Date> oneOffDate() const;
  std::optional<Recurrence> recurrence() const;
  std::optional<double> countdownSeconds() const;

  // The first fire time at or after `onOrAfter`; `reference` is the moment a countdown runs
  // from (the reminder's creation). None when there is no such time: always for `hourly`,
  // and for a recurrence none of whose days lies in the 15 days from `onOrAfter`'s day.
  // Skipped wall times resolve to the next existing time, repeated ones to the first.
  std::optional<Date> nextOccurrence(Date onOrAfter, Date reference,
                                     const Calendar& calendar) const;

  // One-off and countdown triggers fire once only.
  bool isOneShot() const;

  // A single-key object named after the case: {"hourly":{}}, {"oneOff":{"_0":0}},
  // {"recurring":{"_0":{...}}}, {"countdown":{"_0":600}}. Throws EncodingError for a
  // non-finite date or countdown.
  Json toJson() const;
  // Throws DecodingError: typeMismatch "Invalid number of keys found, expected one." when
  // the object holds no case name or more than one; typeMismatch when the case's value is
  // not an object; keyNotFound when a payload's "_0" is missing; dataCorrupted for a date the
  // calendar does not hold, or a countdown that is negative or longer than longestCountdown.
  static VisitTrigger fromJson(const JsonReader& reader);

  // Same case and equal payloads (countdowns as doubles, so a NaN is never equal).
  bool operator==(const VisitTrigger&) const = default;

 private:
  struct Hourly {
    bool operator==(const Hourly&) const = default;
  };
  struct OneOff {
    Date date;
    bool operator==(const OneOff&) const = default;
  };
  struct Recurring {
    Recurrence recurrence;
    bool operator==(const Recurring&) const = default;
  };
  struct Countdown {
    double seconds;
    bool operator==(const Countdown&) const = default;
  };
  using Value = std::variant<Hourly, OneOff, Recurring, Countdown>;

  explicit VisitTrigger(Value value) : value_(std::move(value)) {}

  Value value_;
};

// The date `reader` holds; throws DecodingError (dataCorrupted) for one the calendar does not
// hold (Calendar::holds), which no clock or typed line gives.
Date heldDate(const JsonReader& reader);

}  // namespace vorlane
