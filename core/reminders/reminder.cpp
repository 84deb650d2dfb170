#include "core/reminders/reminder.h"

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>

#include <cinttypes>
#include <cstdio>
#include <memory>

#include "foundation/text.h"

namespace vorlane {

namespace {

// ICU's Gregorian calendar covers about ±5.8 million years; beyond that it pins or fails,
// so a runaway countdown is shown at the edge of that range instead.
constexpr double maxUDate = 1.8e17;

std::string formatDate(Date date, const char* pattern, const Calendar& calendar) {
  double udate = date.udate();
  if (!(udate >= -maxUDate)) udate = -maxUDate;  // also catches NaN
  if (udate > maxUDate) udate = maxUDate;

  UErrorCode status = U_ZERO_ERROR;
  icu::SimpleDateFormat formatter(icu::UnicodeString(pattern, -1, US_INV),
                                  icu::Locale(calendar.localeID().c_str()), status);
  if (U_FAILURE(status)) return {};
  // Formatting through the calendar's own ICU calendar puts the time in the calendar's
  // zone, the same zone in which "today" is decided.
  formatter.adoptCalendar(calendar.makeIcuCalendar().release());
  icu::UnicodeString text;
  formatter.format(udate, text);
  return toUtf8(text);
}

std::string recurrenceTime(std::int64_t hour, std::int64_t minute) {
  std::int64_t twelve = hour % 12;
  if (twelve == 0) twelve = 12;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%lld:%02lld %s", static_cast<long long>(twelve),
                static_cast<long long>(minute), hour >= 12 ? "PM" : "AM");
  return buffer;
}

}  // namespace

bool Reminder::hasExpired(Date date) const {
  switch (trigger.value()) {
    case VisitTrigger::Case::oneOff:
      return *trigger.oneOffDate() < date;
    case VisitTrigger::Case::countdown:
      return createdAt + *trigger.countdownSeconds() < date;
    case VisitTrigger::Case::recurring:
    case VisitTrigger::Case::hourly:
      return false;
  }
  return false;
}

std::string Reminder::scheduleDescription(const Calendar& calendar, Date now) const {
  switch (trigger.value()) {
    case VisitTrigger::Case::hourly:
      return "every hour";
    case VisitTrigger::Case::oneOff: {
      const Date date = *trigger.oneOffDate();
      return formatDate(date, calendar.isToday(date, now) ? "h:mm a" : "EEE h:mm a", calendar);
    }
    case VisitTrigger::Case::countdown:
      return formatDate(createdAt + *trigger.countdownSeconds(), "h:mm a", calendar);
    case VisitTrigger::Case::recurring: {
      const Recurrence recurrence = *trigger.recurrence();
      const char* prefix = "daily at ";
      if (recurrence.days.value() == RecurrenceDays::Case::weekdays) prefix = "weekdays at ";
      if (recurrence.days.value() == RecurrenceDays::Case::specific) prefix = "some days at ";
      return prefix + recurrenceTime(recurrence.hour, recurrence.minute);
    }
  }
  return {};
}

Json Reminder::toJson() const {
  Json object = Json::object();
  object["id"] = json::fromUUID(id);
  object["phrase"] = validUtf8(phrase);
  object["trigger"] = trigger.toJson();
  object["createdAt"] = json::fromDate(createdAt);
  return object;
}

Reminder Reminder::fromJson(const JsonReader& reader) {
  // Read in member order so that the first bad member is the one reported.
  const UUID id = reader["id"].asUUID();
  std::string phrase = reader["phrase"].asString();
  VisitTrigger trigger = VisitTrigger::fromJson(reader["trigger"]);
  const Date createdAt = heldDate(reader["createdAt"]);
  return Reminder(id, std::move(phrase), std::move(trigger), createdAt);
}

bool Reminder::hasMembers(const Json& value) {
  if (!value.is_object()) return false;
  const auto is = [&](const char* key, bool (Json::*kind)() const noexcept) {
    const auto found = value.find(key);
    return found != value.end() && ((*found).*kind)();
  };
  return is("id", &Json::is_string) && is("phrase", &Json::is_string) &&
         is("trigger", &Json::is_object) && is("createdAt", &Json::is_number);
}

bool Reminder::operator==(const Reminder& other) const {
  return id == other.id && sameCharacters(phrase, other.phrase) && trigger == other.trigger &&
         createdAt == other.createdAt;
}

}  // namespace vorlane
