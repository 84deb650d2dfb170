#include "core/reminders/visit_trigger.h"

#include "core/reminders/case_object.h"
#include "core/reminders/schedule_bounds.h"

namespace vorlane {

namespace {

// A recurrence's days always match within 8 days; the 15-day bound only ends the search
// for a set holding no weekday at all.
constexpr int recurrenceSearchDays = 15;

std::optional<Date> nextRecurrence(const Recurrence& recurrence, Date from,
                                   const Calendar& calendar) {
  Date day = calendar.startOfDay(from);
  for (int i = 0; i < recurrenceSearchDays; ++i) {
    const std::optional<Date> candidate = calendar.date(recurrence.hour, recurrence.minute, 0, day);
    if (candidate && *candidate >= from && recurrence.days.includes(calendar.weekday(*candidate))) {
      return candidate;
    }
    day = calendar.addingDays(1, day);
  }
  return std::nullopt;
}

}  // namespace

Date heldDate(const JsonReader& reader) {
  const Date date = reader.asDate();
  if (!Calendar::holds(date)) {
    reader.fail(DecodingError::Kind::dataCorrupted, "The date lies beyond the calendar's range.");
  }
  return date;
}

std::optional<Date> VisitTrigger::oneOffDate() const {
  if (const auto* oneOff = std::get_if<OneOff>(&value_)) return oneOff->date;
  return std::nullopt;
}

std::optional<Recurrence> VisitTrigger::recurrence() const {
  if (const auto* recurring = std::get_if<Recurring>(&value_)) return recurring->recurrence;
  return std::nullopt;
}

std::optional<double> VisitTrigger::countdownSeconds() const {
  if (const auto* countdown = std::get_if<Countdown>(&value_)) return countdown->seconds;
  return std::nullopt;
}

std::optional<Date> VisitTrigger::nextOccurrence(Date onOrAfter, Date reference,
                                                 const Calendar& calendar) const {
  switch (value()) {
    case Case::hourly:
      return std::nullopt;
    case Case::oneOff: {
      const Date date = std::get<OneOff>(value_).date;
      if (date >= onOrAfter) return date;
      return std::nullopt;
    }
    case Case::countdown: {
      const Date end = reference + std::get<Countdown>(value_).seconds;
      if (end >= onOrAfter) return end;
      return std::nullopt;
    }
    case Case::recurring:
      return nextRecurrence(std::get<Recurring>(value_).recurrence, onOrAfter, calendar);
  }
  return std::nullopt;
}

bool VisitTrigger::isOneShot() const {
  return value() == Case::oneOff || value() == Case::countdown;
}

Json VisitTrigger::toJson() const {
  switch (value()) {
    case Case::hourly:
      return caseObject("hourly");
    case Case::oneOff:
      return caseObject("oneOff", json::fromDate(std::get<OneOff>(value_).date));
    case Case::recurring:
      return caseObject("recurring", std::get<Recurring>(value_).recurrence.toJson());
    case Case::countdown:
      return caseObject("countdown", json::fromDouble(std::get<Countdown>(value_).seconds));
  }
  return caseObject("hourly");
}

VisitTrigger VisitTrigger::fromJson(const JsonReader& reader) {
  const CaseObject found = readCaseObject(reader, {"hourly", "oneOff", "recurring", "countdown"});
  switch (found.index) {
    case 0:
      return hourly();
    case 1:
      return oneOff(heldDate(found.payload["_0"]));
    case 2:
      return recurring(Recurrence::fromJson(found.payload["_0"]));
    default: {
      const JsonReader seconds = found.payload["_0"];
      const double value = seconds.asDouble();
      if (!(value >= 0 && value <= longestCountdown)) {
        seconds.fail(DecodingError::Kind::dataCorrupted,
                     "The countdown is negative or longer than any typed one.");
      }
      return countdown(value);
    }
  }
}

}  // namespace vorlane
