#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/productivity/daily_priority.h"
#include "core/productivity/day_key.h"
#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/json.h"
#include "foundation/sentence_error.h"
#include "foundation/uuid.h"

namespace vorlane {

// The user's priorities, at most three planned on any one day, in a local archive of at
// most 200. A plain value: every operation that depends on the day takes the moment and the
// calendar. "The priority with an id" is the first item in stored order with that id.
//
// A throwing operation makes all its checks first, so after an Error the value is equal to
// what it was before the call.
class DailyPriorities {
 public:
  static constexpr std::size_t maximumPerDay = 3;
  static constexpr std::size_t maximumItems = 200;
  static constexpr std::size_t maximumPlannedDays = 90;

  // Why an operation was refused, with the sentence the Today window shows.
  enum class ErrorCase { full, invalidTitle, missing, alreadyDone, storageFull };
  friend std::string_view describe(ErrorCase error);
  using Error = SentenceError<ErrorCase>;

  DailyPriorities() = default;
  // The items as stored, unchecked; isValid() says whether they keep the limits.
  explicit DailyPriorities(std::vector<DailyPriority> items) : items_(std::move(items)) {}

  // In stored order; add() appends and nothing reorders.
  const std::vector<DailyPriority>& items() const { return items_; }

  static std::string dayKey(Date date, const Calendar& calendar) {
    return vorlane::dayKey(date, calendar);
  }

  // The items planned on the day of `at`, open and accomplished alike, in stored order.
  std::vector<DailyPriority> today(Date at, const Calendar& calendar) const;
  // Open items not planned on the day of `at` whose latest planned day lies before it (an
  // item planned on no day always qualifies), in stored order.
  std::vector<DailyPriority> earlierUnfinished(Date at, const Calendar& calendar) const;

  // Appends an open priority planned on the day of `at` with the cleaned title and returns
  // its fresh id. Throws, checked in this order, invalidTitle (empty or over 120 characters
  // once cleaned), full (the day already holds three, accomplished ones included),
  // storageFull (the archive holds 200).
  UUID add(std::string_view title, Date at, const Calendar& calendar);
  // Plans the open priority also on the day of `date`, keeping its days sorted and only the
  // latest 90. Already planned on that day: nothing changes, even on a full day. Throws
  // missing, alreadyDone, or full when that day holds three.
  void carryForward(const UUID& id, Date date, const Calendar& calendar);
  // Takes the day of `at` off the priority's planned days; an unknown id changes nothing.
  void removeFromToday(const UUID& id, Date at, const Calendar& calendar);
  // Records `at` as the moment the priority was accomplished; a later call keeps the first
  // moment. Throws missing.
  void markAccomplished(const UUID& id, Date at);
  // Deletes every item with that id; an unknown id changes nothing.
  void remove(const UUID& id);

  // At most 200 items with distinct ids, and per item in stored order: a title valid as a
  // goal (1 to 120 characters once cleaned), at most 90 distinct keys each of the form
  // dddd-dd-dd (any decimal digits), no key planned in more than three items. Real dates,
  // sorted keys and the moments are not checked.
  bool isValid() const;

  // {"items":[...]} with each item's own form.
  Json toJson() const;
  // Requires "items" holding valid item objects; throws DecodingError naming the first bad
  // field. Applies no limits.
  static DailyPriorities fromJson(const JsonReader& reader);

  bool operator==(const DailyPriorities&) const = default;

 private:
  DailyPriority* find(const UUID& id);
  std::size_t plannedOn(const std::string& key) const;

  std::vector<DailyPriority> items_;
};

}  // namespace vorlane
