#pragma once

#include <cstdint>
#include <set>
#include <variant>

#include "foundation/json.h"

namespace vorlane {

// The days of the week a recurrence fires on. Weekday numbers are the calendar's: 1 is
// Sunday, 2 Monday ... 7 Saturday, whatever the locale's first day of the week.
class RecurrenceDays {
 public:
  enum class Case { daily, weekdays, specific };

  static RecurrenceDays daily() { return RecurrenceDays(Daily{}); }
  // Monday to Friday (2 to 6), fixed whatever the locale's weekend.
  static RecurrenceDays weekdays() { return RecurrenceDays(Weekdays{}); }
  // Exactly the numbers in the set; numbers outside 1-7 never match a day.
  static RecurrenceDays specific(std::set<std::int64_t> days) {
    return RecurrenceDays(Specific{std::move(days)});
  }

  Case value() const { return static_cast<Case>(value_.index()); }
  // The set of a `specific` value; empty for the other cases.
  const std::set<std::int64_t>& specificDays() const;

  bool includes(std::int64_t weekday) const;

  // {"daily":{}}, {"weekdays":{}} or {"specific":{"_0":[2,4,6]}} (the set written sorted).
  Json toJson() const;
  // Throws DecodingError: typeMismatch "Invalid number of keys found, expected one." when
  // the object holds no case name or more than one; keyNotFound when "_0" is missing;
  // dataCorrupted for a day outside 1-7.
  static RecurrenceDays fromJson(const JsonReader& reader);

  bool operator==(const RecurrenceDays&) const = default;

 private:
  struct Daily {
    bool operator==(const Daily&) const = default;
  };
  struct Weekdays {
    bool operator==(const Weekdays&) const = default;
  };
  struct Specific {
    std::set<std::int64_t> days;
    bool operator==(const Specific&) const = default;
  };
  using Value = std::variant<Daily, Weekdays, Specific>;

  explicit RecurrenceDays(Value value) : value_(std::move(value)) {}

  Value value_;
};

}  // namespace vorlane
