#include "core/reminders/reminder_parser.h"

#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/reminders/named_day.h"
#include "core/reminders/schedule_bounds.h"
#include "foundation/regex.h"
#include "foundation/text.h"
#include "foundation/uuid.h"

namespace vorlane {

namespace {

using Error = ReminderParser::ParseError;

// A pattern that fails to compile matches nothing (none of these fails).
std::optional<Regex> compiled(std::string_view pattern) {
  try {
    return Regex(pattern);
  } catch (const std::invalid_argument&) {
    return std::nullopt;
  }
}

struct DaysRow {
  std::optional<Regex> pattern;
  RecurrenceDays days;
  std::array<const char*, 2> needs;  // letter pairs every match holds (see Hints)
};

// Compiled once; a Regex may be used from several threads.
struct Patterns {
  std::optional<Regex> countdown =
      compiled(R"((?i)\bin\s+(\d+)\s*(seconds?|secs?|s|minutes?|mins?|m|hours?|hrs?|h)\b)");
  // The first row that matches anywhere wins.
  std::array<DaysRow, 4> days{{
      {compiled(R"((?i)\bevery\s+weekday\b)"), RecurrenceDays::weekdays(), {"ev", "we"}},
      {compiled(R"((?i)\bweekdays?\b)"), RecurrenceDays::weekdays(), {"we", "ay"}},
      {compiled(R"((?i)\bevery\s+day\b)"), RecurrenceDays::daily(), {"ev", "ay"}},
      {compiled(R"((?i)\bdaily\b)"), RecurrenceDays::daily(), {"da", "il"}},
  }};
  std::optional<Regex> twelveHour = compiled(R"((?i)\b(\d{1,2})(?:[:.](\d{2}))?\s*(am|pm)\b)");
  std::optional<Regex> twentyFourHour = compiled(R"(\b(\d{1,2}):(\d{2})\b)");
  std::optional<Regex> leadingFiller =
      compiled(R"((?i)^(at|on|to|for|and|say|remind me to|remind me)\b\s*)");
};

const Patterns& patterns() {
  static const Patterns instance;
  return instance;
}

std::optional<RegexMatch> firstMatch(const std::optional<Regex>& pattern, const MatchText& text) {
  if (!pattern) return std::nullopt;
  return pattern->firstMatch(text);
}

struct CountdownMatch {
  RegexMatch::Range range;
  double seconds = 0;
};

struct TimeMatch {
  RegexMatch::Range range;
  int hour = 0;    // 0-23
  int minute = 0;  // 0-59
};

// Every White_Space character is a single BMP unit, so text is scanned unit by unit.
bool isWhiteSpaceUnit(char16_t unit) {
  if (unit < 0x80) return unit == u' ' || (unit >= 0x09 && unit <= 0x0D);
  return u_isUWhiteSpace(unit);
}

// The offsets of the text without White_Space at either end.
std::pair<int32_t, int32_t> trimmedRange(const icu::UnicodeString& text) {
  int32_t start = 0;
  int32_t end = text.length();
  while (start < end && isWhiteSpaceUnit(text.charAt(start))) ++start;
  while (end > start && isWhiteSpaceUnit(text.charAt(end - 1))) --end;
  return {start, end};
}

icu::UnicodeString trimmed(const icu::UnicodeString& text) {
  const auto [start, end] = trimmedRange(text);
  return icu::UnicodeString(text, start, end - start);
}

icu::UnicodeString replacedBySpace(const icu::UnicodeString& text, RegexMatch::Range range) {
  icu::UnicodeString out(text);
  out.replace(range.start, range.end - range.start, char16_t(u' '));
  return out;
}

// Which pairs of adjacent letters and which colons a plain ASCII text holds, found in one
// pass, so that searches for patterns needing what the text lacks are skipped. In ASCII,
// (?i) pairs a letter only with its other case, and \d is 0-9. A text with any other
// character may hold anything.
class Hints {
 public:
  explicit Hints(const icu::UnicodeString& text) {
    int previous = -1;  // the previous unit's letter number, 0-25, if it was a letter
    for (int32_t i = 0; i < text.length(); ++i) {
      const char16_t unit = text.charAt(i);
      if (unit >= 0x80) {
        ascii_ = false;
        return;
      }
      int letter = -1;
      if (unit >= u'a' && unit <= u'z') letter = unit - u'a';
      if (unit >= u'A' && unit <= u'Z') letter = unit - u'A';
      if (previous >= 0 && letter >= 0)
        pairs_.set(static_cast<std::size_t>(previous * 26 + letter));
      colon_ = colon_ || unit == u':';
      previous = letter;
    }
  }

  // Whether the text may hold these two lower-case letters side by side, in either case.
  bool mayHave(const char* pair) const {
    return !ascii_ || pairs_.test(static_cast<std::size_t>((pair[0] - 'a') * 26 + (pair[1] - 'a')));
  }
  bool mayHaveColon() const { return !ascii_ || colon_; }

 private:
  bool ascii_ = true;
  bool colon_ = false;
  std::bitset<26 * 26> pairs_;
};

// A matched number in ASCII digits; none for other digits (\d takes any) or an overflow.
std::optional<std::int64_t> number(const MatchText& text, const RegexMatch& match, int group) {
  const RegexMatch::Range range = match.groups[static_cast<std::size_t>(group) - 1];
  std::string ascii;
  for (int32_t i = range.start; i < range.end; ++i) {
    const char16_t unit = text.string().charAt(i);
    if (unit >= 0x80) return std::nullopt;
    ascii.push_back(static_cast<char>(unit));
  }
  return parseAsciiInteger(ascii);
}

std::optional<CountdownMatch> matchCountdown(const MatchText& text, const Hints& hints) {
  if (!hints.mayHave("in")) return std::nullopt;
  const std::optional<RegexMatch> match = firstMatch(patterns().countdown, text);
  if (!match || !match->groupOnBoundaries(text, 1) || !match->groupOnBoundaries(text, 2)) {
    return std::nullopt;
  }
  const std::optional<std::int64_t> count = number(text, *match, 1);
  if (!count) return std::nullopt;
  // Lower-cased, never case-folded: a long s matches "s" under (?i) but stays itself here,
  // and so counts as minutes.
  const std::string unit = lowercased(match->groupText(text, 2));
  const char first = unit.empty() ? '\0' : unit.front();
  const double multiplier = first == 'h' ? secondsPerHour : first == 's' ? 1.0 : 60.0;
  return CountdownMatch{match->whole, static_cast<double>(*count) * multiplier};
}

struct DaysMatch {
  RegexMatch::Range range;
  RecurrenceDays days;
};

// The first row whose pattern matches anywhere, in the rows' order.
std::optional<DaysMatch> matchRecurrence(const MatchText& text, const Hints& hints) {
  for (const DaysRow& row : patterns().days) {
    if (!hints.mayHave(row.needs[0]) || !hints.mayHave(row.needs[1])) continue;
    if (const std::optional<RegexMatch> match = firstMatch(row.pattern, text)) {
      return DaysMatch{match->whole, row.days};
    }
  }
  return std::nullopt;
}

std::optional<TimeMatch> matchTwelveHour(const MatchText& text, const RegexMatch& match) {
  if (!match.groupOnBoundaries(text, 1) || !match.groupOnBoundaries(text, 3)) return std::nullopt;
  const std::optional<std::int64_t> hour = number(text, match, 1);
  if (!hour) return std::nullopt;
  std::int64_t minute = 0;
  if (match.groupMatched(2)) {
    if (!match.groupOnBoundaries(text, 2)) return std::nullopt;
    // A minute that cannot be read would silently become :00 ("9:٣٠pm" as 21:00): no time
    // at all is the honest answer.
    const std::optional<std::int64_t> read = number(text, match, 2);
    if (!read) return std::nullopt;
    minute = *read;
  }
  if (*hour < 1 || *hour > 12 || minute < 0 || minute > lastMinute) return std::nullopt;
  const bool pm = lowercased(match.groupText(text, 3)) == "pm";
  const std::int64_t hour24 = pm ? (*hour == 12 ? 12 : *hour + 12) : (*hour == 12 ? 0 : *hour);
  return TimeMatch{match.whole, static_cast<int>(hour24), static_cast<int>(minute)};
}

// `hints` may be those of a text the matched one was made from by replacing parts by spaces.
std::optional<TimeMatch> matchTime(const MatchText& text, const Hints& hints) {
  // A 12-hour match that is out of range ("13:30pm") is no time at all, even where a
  // 24-hour time would match.
  if (hints.mayHave("am") || hints.mayHave("pm")) {
    if (const std::optional<RegexMatch> match = firstMatch(patterns().twelveHour, text)) {
      return matchTwelveHour(text, *match);
    }
  }
  if (!hints.mayHaveColon()) return std::nullopt;
  const std::optional<RegexMatch> match = firstMatch(patterns().twentyFourHour, text);
  if (!match || !match->groupOnBoundaries(text, 1) || !match->groupOnBoundaries(text, 2)) {
    return std::nullopt;
  }
  const std::optional<std::int64_t> hour = number(text, *match, 1);
  const std::optional<std::int64_t> minute = number(text, *match, 2);
  if (!hour || !minute || *hour > lastHour || *minute > lastMinute) return std::nullopt;
  return TimeMatch{match->whole, static_cast<int>(*hour), static_cast<int>(*minute)};
}

// Every run of White_Space (what \s+ matches) becomes one space, except where the run's
// ends fall inside a character, as with any match. Done in one pass rather than by a regex
// search, which would scan a long run again from each of its starts when a combining mark
// follows it.
icu::UnicodeString collapsedWhiteSpace(const icu::UnicodeString& text) {
  std::optional<MatchText> boundaries;  // made only when a run is to be replaced
  icu::UnicodeString out;
  const int32_t length = text.length();
  int32_t copied = 0;
  int32_t i = 0;
  while (i < length) {
    if (!isWhiteSpaceUnit(text.charAt(i))) {
      ++i;
      continue;
    }
    const int32_t runStart = i;
    while (i < length && isWhiteSpaceUnit(text.charAt(i))) ++i;
    if (i - runStart == 1 && text.charAt(runStart) == u' ') continue;  // already one space
    if (!boundaries) boundaries.emplace(text);
    if (!boundaries->isBoundary(i)) continue;
    int32_t start = runStart;
    while (start < i && !boundaries->isBoundary(start)) ++start;
    if (start == i) continue;
    out.append(text, copied, start - copied).append(char16_t(u' '));
    copied = i;
  }
  if (copied == 0) return text;
  return out.append(text, copied, length - copied);
}

// Whether a leading filler could match at `start`. In ASCII the first two letters must be
// those of a filler, in either case.
bool mayStartWithFiller(const icu::UnicodeString& text, int32_t start) {
  if (start >= text.length()) return false;
  const char16_t first = text.charAt(start);
  if (first >= 0x80) return true;
  if (start + 1 >= text.length()) return false;  // every filler has two letters or more
  const char16_t second = text.charAt(start + 1);
  if (second >= 0x80) return true;
  const auto is = [&](char16_t a, char16_t b) {
    return (first | 0x20) == a && (second | 0x20) == b;
  };
  return is(u'a', u't') || is(u'o', u'n') || is(u't', u'o') || is(u'f', u'o') || is(u'a', u'n') ||
         is(u's', u'a') || is(u'r', u'e');
}

// Runs of white space become one space, the ends are trimmed, and leading filler words
// ("remind me to", "at", ...) go one at a time, each followed by a trim.
icu::UnicodeString cleanPhrase(const icu::UnicodeString& text) {
  icu::UnicodeString phrase = trimmed(collapsedWhiteSpace(text));
  const std::optional<Regex>& filler = patterns().leadingFiller;
  if (!filler || !mayStartWithFiller(phrase, 0)) return phrase;
  const MatchText matchText(std::move(phrase));
  const icu::UnicodeString& string = matchText.string();
  int32_t start = 0;
  // The filler is looked for as if the text began at `start`, so the tail is never copied.
  while (mayStartWithFiller(string, start)) {
    const std::optional<RegexMatch> match = filler->prefixMatch(matchText, start);
    if (!match) break;
    start = match->whole.end;
    while (start < string.length() && isWhiteSpaceUnit(string.charAt(start))) ++start;
  }
  return icu::UnicodeString(string, start);
}

}  // namespace

std::string_view describe(ReminderParser::ErrorCase error) {
  switch (error) {
    case ReminderParser::ErrorCase::empty:
    case ReminderParser::ErrorCase::noTimeFound:
      return "Add a time, such as 4pm, in 25m, or weekdays 9:30am.";
    case ReminderParser::ErrorCase::noPhraseFound:
      return "Add a message for the character to say.";
  }
  return {};
}

Reminder ReminderParser::parse(std::string_view text, Date now) const {
  const MatchText line(trimmed(toUnicode(text)));
  // NULs, controls or zero-width spaces alone are as good as nothing typed.
  if (!hasVisibleCharacter(line.string())) throw Error(Error::Case::empty);
  const Hints hints(line.string());

  if (const std::optional<CountdownMatch> countdown = matchCountdown(line, hints)) {
    const icu::UnicodeString phrase = cleanPhrase(replacedBySpace(line.string(), countdown->range));
    if (!hasVisibleCharacter(phrase)) throw Error(Error::Case::noPhraseFound);
    return Reminder(UUID::random(), toUtf8(phrase), VisitTrigger::countdown(countdown->seconds),
                    now);
  }

  const std::optional<DaysMatch> days = matchRecurrence(line, hints);
  std::optional<MatchText> withoutDays;
  if (days) withoutDays.emplace(replacedBySpace(line.string(), days->range));
  const MatchText& rest = withoutDays ? *withoutDays : line;

  const std::optional<TimeMatch> time = matchTime(rest, hints);
  if (!time) throw Error(Error::Case::noTimeFound);
  // Every weekday name ends in "ay"; "tomorrow" has "rr".
  const bool mayNameDay = !days && (hints.mayHave("ay") || hints.mayHave("rr"));
  const std::optional<NamedDay> named =
      mayNameDay ? NamedDay::beside(rest, time->range) : std::nullopt;
  icu::UnicodeString schedule = replacedBySpace(rest.string(), time->range);
  // The later words go first, so that the earlier range still holds.
  if (named) {
    schedule = named->range.start > time->range.start
                   ? replacedBySpace(replacedBySpace(rest.string(), named->range), time->range)
                   : replacedBySpace(schedule, named->range);
  }
  const icu::UnicodeString phrase = cleanPhrase(schedule);
  if (!hasVisibleCharacter(phrase)) throw Error(Error::Case::noPhraseFound);

  if (days) {
    return Reminder(UUID::random(), toUtf8(phrase),
                    VisitTrigger::recurring(Recurrence(days->days, time->hour, time->minute)), now);
  }
  const Date at = named ? named->date(time->hour, time->minute, now, calendar)
                        : nextDate(time->hour, time->minute, now);
  return Reminder(UUID::random(), toUtf8(phrase), VisitTrigger::oneOff(at), now);
}

Date ReminderParser::nextDate(int hour, int minute, Date after) const {
  const Date today = calendar.date(hour, minute, 0, after).value_or(after);
  if (today > after) return today;
  // The time is placed afresh on the next day: a clock change may have moved today's
  // (02:30 became 03:00), and the next day may well have the time as typed.
  return calendar.date(hour, minute, 0, calendar.startOfNextDay(today)).value_or(today);
}

}  // namespace vorlane
