#pragma once

#include <string>

#include "core/reminders/visit_trigger.h"
#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/json.h"
#include "foundation/uuid.h"

namespace vorlane {

// A phrase the mascot delivers when its trigger fires. Identified by `id`, which stays
// fixed for the reminder's life; the other fields may change.
struct Reminder {
  Reminder(UUID id, std::string phrase, VisitTrigger trigger, Date createdAt)
      : id(id), phrase(std::move(phrase)), trigger(std::move(trigger)), createdAt(createdAt) {}

  UUID id;
  std::string phrase;
  VisitTrigger trigger;
  Date createdAt;  // a countdown runs from here

  // Whether a one-off or countdown fire time lies strictly before `date`. Recurring and
  // hourly reminders never expire.
  bool hasExpired(Date date) const;

  // The one-line schedule text ("every hour", "9:30 AM", "Fri 9:30 AM", "weekdays at
  // 9:30 AM"), with times in the calendar's zone and names in its locale. Whether a
  // one-off date is today is judged against `now`.
  std::string scheduleDescription(const Calendar& calendar, Date now) const;

  // {"id":"…","phrase":"…","trigger":{…},"createdAt":…}
  Json toJson() const;
  // All four members required, others ignored; throws DecodingError naming the bad member,
  // also for a value out of the range the program writes (see VisitTrigger::fromJson).
  static Reminder fromJson(const JsonReader& reader);
  // Whether `value` is an object with the four members, each of the kind fromJson reads (the
  // id and phrase strings, the trigger an object, createdAt a number): a test that never
  // throws, for telling cheaply what cannot be a reminder; fromJson still reads the values.
  static bool hasMembers(const Json& value);

  // id, phrase (character for character), trigger and createdAt all equal.
  bool operator==(const Reminder& other) const;
};

}  // namespace vorlane
