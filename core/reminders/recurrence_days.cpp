#include "core/reminders/recurrence_days.h"

#include <string>

#include "core/reminders/case_object.h"
#include "core/reminders/schedule_bounds.h"

namespace vorlane {

const std::set<std::int64_t>& RecurrenceDays::specificDays() const {
  static const std::set<std::int64_t> none;
  const auto* specific = std::get_if<Specific>(&value_);
  return specific ? specific->days : none;
}

bool RecurrenceDays::includes(std::int64_t weekday) const {
  switch (value()) {
    case Case::daily:
      return true;
    case Case::weekdays:
      return weekday >= 2 && weekday <= 6;
    case Case::specific:
      return specificDays().contains(weekday);
  }
  return false;
}

Json RecurrenceDays::toJson() const {
  switch (value()) {
    case Case::daily:
      return caseObject("daily");
    case Case::weekdays:
      return caseObject("weekdays");
    case Case::specific: {
      Json days = Json::array();
      for (std::int64_t day : specificDays()) days.push_back(day);
      return caseObject("specific", std::move(days));
    }
  }
  return caseObject("daily");
}

RecurrenceDays RecurrenceDays::fromJson(const JsonReader& reader) {
  const CaseObject found = readCaseObject(reader, {"daily", "weekdays", "specific"});
  switch (found.index) {
    case 0:
      return daily();
    case 1:
      return weekdays();
    default: {
      std::set<std::int64_t> days;
      for (const JsonReader& element : found.payload["_0"].elements()) {
        const std::int64_t day = element.asInt();
        if (day < firstWeekday || day > lastWeekday) {
          element.fail(DecodingError::Kind::dataCorrupted,
                       std::to_string(day) + " is not a weekday number.");
        }
        days.insert(day);
      }
      return specific(std::move(days));
    }
  }
}

}  // namespace vorlane
