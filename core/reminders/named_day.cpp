#include "core/reminders/named_day.h"

#include <unicode/stringoptions.h>
#include <unicode/unistr.h>

#include <array>
#include <cstdint>
#include <string>

#include "foundation/text.h"

namespace vorlane {
namespace {

// "tomorrow", then the weekdays from Sunday, so that a weekday's index is its number.
constexpr std::array<const char*, 8> dayNames = {"tomorrow",  "sunday",   "monday", "tuesday",
                                                 "wednesday", "thursday", "friday", "saturday"};

constexpr const char* dayWord =
    "(tomorrow|sunday|monday|tuesday|wednesday|thursday|friday|saturday)";

// What joins the day word to the time: white space, or punctuation with or without it
// ("tomorrow, 9am", "9am - Friday"). Punctuation changes nothing about the day.
constexpr const char* joint = R"((?:\s*\p{P}+\s*|\s+))";

// The day word and what may join it to the time, ending where the time starts.
const Regex& before() {
  static const Regex pattern(std::string(R"((?i)\b(?:on\s+)?)") + dayWord + "(?:" + joint + "at)?" +
                             joint + "$");
  return pattern;
}

// From the end of the time: the day word, an "on" before it, and any punctuation between,
// which leaves the phrase with the day.
const Regex& after() {
  static const Regex pattern(std::string(R"((?i)^(?=\s|\p{P})\s*((?:\p{P}+\s*)?(?:on\s+)?)") +
                             dayWord + R"()\b)");
  return pattern;
}

// The day a matched word names. Compared as the pattern matched it, case folded: a long s
// ("ſunday") is an s there and must be one here.
std::optional<NamedDay> named(RegexMatch::Range range, const std::string& word) {
  const icu::UnicodeString unicode = toUnicode(word);
  for (std::size_t i = 0; i < dayNames.size(); ++i) {
    if (unicode.caseCompare(icu::UnicodeString(dayNames[i], -1, US_INV), U_FOLD_CASE_DEFAULT) ==
        0) {
      return NamedDay{range, i == 0 ? std::nullopt : std::optional<int>(static_cast<int>(i))};
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<NamedDay> NamedDay::beside(const MatchText& text, RegexMatch::Range time) {
  // Only the text before the time is searched, so `$` stands for the time's start.
  const MatchText head(icu::UnicodeString(text.string(), 0, time.start));
  if (const std::optional<RegexMatch> match = before().firstMatch(head)) {
    if (match->groupOnBoundaries(head, 1)) return named(match->whole, match->groupText(head, 1));
  }
  if (const std::optional<RegexMatch> match = after().prefixMatch(text, time.end)) {
    if (match->groupOnBoundaries(text, 2)) {
      return named({match->groups[0].start, match->groups[1].end}, match->groupText(text, 2));
    }
  }
  return std::nullopt;
}

Date NamedDay::date(int hour, int minute, Date now, const Calendar& calendar) const {
  // Days are counted from noon, which every day has, whatever its clock changes.
  const Date noon = calendar.date(12, 0, 0, now).value_or(now);
  std::int64_t days = 1;
  if (weekday) {
    days = (*weekday - calendar.weekday(now) + 7) % 7;
    if (days == 0) {
      const Date today = calendar.date(hour, minute, 0, now).value_or(now);
      if (today > now) return today;
      days = 7;
    }
  }
  const Date day = calendar.addingDays(days, noon);
  return calendar.date(hour, minute, 0, day).value_or(day);
}

}  // namespace vorlane
