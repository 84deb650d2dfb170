#include "platform/calendar/ics_events.h"

#include "platform/calendar/ics_parser_library.h"
#include "platform/logging/log.h"

namespace vorlane {

namespace {

// The user's calendar, lent to the plugin for the length of one read.
class CalendarTimes final : public IcsCalendar {
 public:
  explicit CalendarTimes(const Calendar& calendar) : calendar_(calendar) {}
  std::optional<Date> date(int year, int month, int day, int hour, int minute,
                           int second) const override {
    return calendar_.date(year, month, day, hour, minute, second);
  }
  Date addingDays(std::int64_t days, Date date) const override {
    return calendar_.addingDays(days, date);
  }

 private:
  const Calendar& calendar_;
};

std::string_view trimmedAscii(std::string_view text) {
  const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::string> userEmailFromEnvironment(const char* value) {
  if (value == nullptr) return std::nullopt;
  std::string_view text = trimmedAscii(value);
  const std::size_t open = text.find('<');
  const std::size_t close = text.find('>', open == std::string_view::npos ? 0 : open);
  if (open != std::string_view::npos && close != std::string_view::npos) {
    text = trimmedAscii(text.substr(open + 1, close - open - 1));
  }
  if (text.empty()) return std::nullopt;
  return std::string(text);
}

std::vector<BusyInterval> busyIntervalsInIcs(std::string_view text, DateInterval range,
                                             const IcsReadOptions& options) {
  const IcsParser* const parser = icsParser();
  if (parser == nullptr) return {};
  const CalendarTimes calendar(options.calendar);
  IcsRules rules{options.userEmail, &calendar, options.timeLimit, {}};
  rules.ignoredRuleParts = [](const std::vector<std::string>& parts) {
    std::string list;
    for (const std::string& part : parts) list += (list.empty() ? "" : ", ") + part;
    Log::lifecycle().info("Calendar rule parts not understood, left out: %{public}s", list);
  };
  return parser->busyTimes(text, range, rules);
}

}  // namespace vorlane
