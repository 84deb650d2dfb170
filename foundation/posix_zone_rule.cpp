#include "foundation/posix_zone_rule.h"

#include <cctype>

namespace vorlane::detail {
namespace {

// Reads the POSIX TZ grammar from the front of a string, one piece at a time.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool atEnd() const { return i_ == text_.size(); }
  bool take(char c) {
    if (atEnd() || text_[i_] != c) return false;
    ++i_;
    return true;
  }

  // "EST" (three or more letters) or "<+0530>" (quoted, letters, digits and signs).
  std::optional<std::string> name() {
    const std::size_t from = i_;
    if (take('<')) {
      while (!atEnd() && text_[i_] != '>') ++i_;
      if (!take('>') || i_ - from < 5) return std::nullopt;
      return std::string(text_.substr(from + 1, i_ - from - 2));
    }
    while (!atEnd() && std::isalpha(static_cast<unsigned char>(text_[i_]))) ++i_;
    if (i_ - from < 3) return std::nullopt;
    return std::string(text_.substr(from, i_ - from));
  }

  std::optional<int> number(int limit) {
    int value = 0;
    const std::size_t from = i_;
    while (!atEnd() && std::isdigit(static_cast<unsigned char>(text_[i_])) && i_ - from < 3) {
      value = value * 10 + (text_[i_++] - '0');
    }
    if (i_ == from || value > limit) return std::nullopt;
    return value;
  }

  // [+-]hh[:mm[:ss]] in seconds; hours up to 167, as TZif footers allow.
  std::optional<std::int32_t> time() {
    const bool negative = take('-');
    if (!negative) take('+');
    const std::optional<int> hours = number(167);
    if (!hours) return std::nullopt;
    std::int32_t seconds = *hours * 3600;
    for (int unit : {60, 1}) {
      if (!take(':')) break;
      const std::optional<int> part = number(59);
      if (!part) return std::nullopt;
      seconds += *part * unit;
    }
    return negative ? -seconds : seconds;
  }

  std::optional<PosixChangeDay> changeDay() {
    PosixChangeDay day;
    if (take('M')) {
      day.form = PosixChangeDay::Form::monthWeekDay;
      int* const fields[] = {&day.month, &day.week, &day.weekday};
      const int limits[] = {12, 5, 6};
      for (int i = 0; i < 3; ++i) {
        const std::optional<int> n = (i == 0 || take('.')) ? number(limits[i]) : std::nullopt;
        if (!n || (i < 2 && *n < 1)) return std::nullopt;
        *fields[i] = *n;
      }
    } else {
      const bool julian = take('J');
      const std::optional<int> n = number(365);
      if (!n || (julian && *n < 1)) return std::nullopt;
      day.form = julian ? PosixChangeDay::Form::julianNoLeap : PosixChangeDay::Form::zeroBasedDay;
      day.day = *n;
    }
    if (take('/')) {
      const std::optional<std::int32_t> seconds = time();
      if (!seconds) return std::nullopt;
      day.seconds = *seconds;
    }
    return day;
  }

 private:
  std::string_view text_;
  std::size_t i_ = 0;
};

}  // namespace

std::optional<PosixZoneRule> parsePosixZoneRule(std::string_view text) {
  Reader reader(text);
  PosixZoneRule rule;
  const std::optional<std::string> standardName = reader.name();
  const std::optional<std::int32_t> standardOffset = reader.time();
  if (!standardName || !standardOffset) return std::nullopt;
  rule.standardName = *standardName;
  rule.standardOffset = -*standardOffset;
  if (reader.atEnd()) return rule;

  PosixZoneRule::Daylight daylight;
  const std::optional<std::string> daylightName = reader.name();
  if (!daylightName) return std::nullopt;
  daylight.name = *daylightName;
  daylight.offset = rule.standardOffset + 3600;
  if (!reader.take(',')) {
    const std::optional<std::int32_t> offset = reader.time();
    if (!offset || !reader.take(',')) return std::nullopt;
    daylight.offset = -*offset;
  }
  const std::optional<PosixChangeDay> start = reader.changeDay();
  const std::optional<PosixChangeDay> end = reader.take(',') ? reader.changeDay() : std::nullopt;
  if (!start || !end || !reader.atEnd()) return std::nullopt;
  daylight.start = *start;
  daylight.end = *end;
  rule.daylight = daylight;
  return rule;
}

}  // namespace vorlane::detail
