#include "core/productivity/daily_priorities.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <unordered_set>

#include "core/focus/focus_input.h"

namespace vorlane {
namespace {

using Error = DailyPriorities::Error;

bool contains(const std::vector<std::string>& keys, const std::string& key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// The whole text is four decimal digits, a hyphen, two digits, a hyphen, two digits. A digit
// is any code point of category Nd, so "٢٠٢٦-٠٣-٠٥" passes and a trailing newline does not.
bool isWellFormedKey(const std::string& key) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(key.data());
  const auto length = static_cast<int32_t>(key.size());
  int32_t offset = 0;
  int position = 0;
  while (offset < length) {
    UChar32 c = 0;
    U8_NEXT(bytes, offset, length, c);
    if (c < 0 || position >= 10) return false;
    const bool wanted =
        (position == 4 || position == 7) ? c == U'-' : u_charType(c) == U_DECIMAL_DIGIT_NUMBER;
    if (!wanted) return false;
    ++position;
  }
  return position == 10;
}

}  // namespace

std::string_view describe(DailyPriorities::ErrorCase error) {
  using Case = DailyPriorities::ErrorCase;
  switch (error) {
    case Case::full:
      return "Choose at most three priorities for a day. Remove one from today to make room.";
    case Case::invalidTitle:
      return "Use a priority of 1\u2013120 characters.";
    case Case::missing:
      return "That priority no longer exists.";
    case Case::alreadyDone:
      return "That priority is already accomplished.";
    case Case::storageFull:
      return "Your 200-priority local archive is full. Clear old priorities before adding more.";
  }
  return {};
}

DailyPriority* DailyPriorities::find(const UUID& id) {
  const auto found = std::find_if(items_.begin(), items_.end(),
                                  [&](const DailyPriority& item) { return item.id == id; });
  return found == items_.end() ? nullptr : &*found;
}

std::size_t DailyPriorities::plannedOn(const std::string& key) const {
  return static_cast<std::size_t>(
      std::count_if(items_.begin(), items_.end(),
                    [&](const auto& item) { return contains(item.plannedDays, key); }));
}

std::vector<DailyPriority> DailyPriorities::today(Date at, const Calendar& calendar) const {
  const std::string key = dayKey(at, calendar);
  std::vector<DailyPriority> planned;
  for (const DailyPriority& item : items_) {
    if (contains(item.plannedDays, key)) planned.push_back(item);
  }
  return planned;
}

std::vector<DailyPriority> DailyPriorities::earlierUnfinished(Date at,
                                                              const Calendar& calendar) const {
  const std::string key = dayKey(at, calendar);
  std::vector<DailyPriority> earlier;
  for (const DailyPriority& item : items_) {
    // Only the last key is read: the operations keep the keys sorted.
    const std::string latest = item.plannedDays.empty() ? std::string() : item.plannedDays.back();
    if (!item.accomplishedAt && !contains(item.plannedDays, key) && latest < key) {
      earlier.push_back(item);
    }
  }
  return earlier;
}

UUID DailyPriorities::add(std::string_view title, Date at, const Calendar& calendar) {
  std::string cleaned = FocusInput::cleaned(title);
  if (!FocusInput::isValidGoal(cleaned)) throw Error(Error::Case::invalidTitle);
  std::string key = dayKey(at, calendar);
  if (plannedOn(key) >= maximumPerDay) throw Error(Error::Case::full);
  if (items_.size() >= maximumItems) throw Error(Error::Case::storageFull);
  const UUID id = UUID::random();
  items_.push_back(DailyPriority{id, std::move(cleaned), at, {std::move(key)}, std::nullopt});
  return id;
}

void DailyPriorities::carryForward(const UUID& id, Date date, const Calendar& calendar) {
  DailyPriority* item = find(id);
  if (item == nullptr) throw Error(Error::Case::missing);
  if (item->accomplishedAt) throw Error(Error::Case::alreadyDone);
  const std::string key = dayKey(date, calendar);
  if (contains(item->plannedDays, key)) return;
  if (plannedOn(key) >= maximumPerDay) throw Error(Error::Case::full);
  std::vector<std::string>& days = item->plannedDays;
  days.push_back(key);
  std::sort(days.begin(), days.end());
  // Sorting first means a key earlier than all 90 others is the one dropped.
  if (days.size() > maximumPlannedDays) {
    days.erase(days.begin(), days.end() - static_cast<std::ptrdiff_t>(maximumPlannedDays));
  }
}

void DailyPriorities::removeFromToday(const UUID& id, Date at, const Calendar& calendar) {
  DailyPriority* item = find(id);
  if (item == nullptr) return;
  std::erase(item->plannedDays, dayKey(at, calendar));
}

void DailyPriorities::markAccomplished(const UUID& id, Date at) {
  DailyPriority* item = find(id);
  if (item == nullptr) throw Error(Error::Case::missing);
  if (!item->accomplishedAt) item->accomplishedAt = at;
}

void DailyPriorities::remove(const UUID& id) {
  std::erase_if(items_, [&](const DailyPriority& item) { return item.id == id; });
}

bool DailyPriorities::isValid() const {
  if (items_.size() > maximumItems) return false;
  std::unordered_set<UUID> ids;
  for (const DailyPriority& item : items_) {
    if (!ids.insert(item.id).second) return false;
  }
  std::map<std::string, std::size_t> itemsPerKey;
  for (const DailyPriority& item : items_) {
    if (!FocusInput::isStoredGoal(item.title)) return false;
    if (item.plannedDays.size() > maximumPlannedDays) return false;
    std::unordered_set<std::string> seen;
    for (const std::string& key : item.plannedDays) {
      if (!seen.insert(key).second) return false;
    }
    for (const std::string& key : item.plannedDays) {
      if (!isWellFormedKey(key)) return false;
    }
    for (const std::string& key : item.plannedDays) {
      if (++itemsPerKey[key] > maximumPerDay) return false;
    }
  }
  return true;
}

Json DailyPriorities::toJson() const {
  Json array = Json::array();
  for (const DailyPriority& item : items_) array.push_back(item.toJson());
  return Json{{"items", std::move(array)}};
}

DailyPriorities DailyPriorities::fromJson(const JsonReader& reader) {
  std::vector<DailyPriority> items;
  for (const JsonReader& element : reader["items"].elements()) {
    items.push_back(DailyPriority::fromJson(element));
  }
  return DailyPriorities(std::move(items));
}

}  // namespace vorlane
