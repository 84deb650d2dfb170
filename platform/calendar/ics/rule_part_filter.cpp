#include "platform/calendar/ics/rule_part_filter.h"

#include <algorithm>
#include <array>

namespace vorlane {

namespace {

// The parts of a rule (RFC 5545, and RFC 7529's calendar scales, which libical reads).
constexpr std::array<std::string_view, 16> knownParts = {
    "FREQ",       "UNTIL",     "COUNT",    "INTERVAL", "BYSECOND", "BYMINUTE", "BYHOUR", "BYDAY",
    "BYMONTHDAY", "BYYEARDAY", "BYWEEKNO", "BYMONTH",  "BYSETPOS", "WKST",     "RSCALE", "SKIP"};

char upper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

std::string upperCase(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), upper);
  return result;
}

bool isRuleLine(std::string_view line) {
  if (line.size() < 6 || upperCase(line.substr(0, 5)) != "RRULE") return false;
  return line[5] == ':' || line[5] == ';';
}

// The value starts after the first colon outside quoted parameter values.
std::size_t valueStart(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return i + 1;
  }
  return std::string_view::npos;
}

bool knownPart(std::string_view part) {
  const std::string name = upperCase(part.substr(0, part.find('=')));
  return std::find(knownParts.begin(), knownParts.end(), name) != knownParts.end();
}

// The rule line without its unknown parts, or none when it has none.
std::optional<std::string> filteredLine(std::string_view line, std::vector<std::string>& ignored) {
  const std::size_t start = valueStart(line);
  if (start == std::string_view::npos) return std::nullopt;
  std::string kept(line.substr(0, start));
  bool changed = false, first = true;
  std::string_view rest = line.substr(start);
  while (true) {
    const std::size_t end = rest.find(';');
    const std::string_view part = rest.substr(0, end);
    if (part.empty() || knownPart(part)) {
      if (!part.empty()) {
        if (!first) kept += ';';
        kept += part;
        first = false;
      }
    } else {
      changed = true;
      if (std::find(ignored.begin(), ignored.end(), part) == ignored.end()) {
        ignored.emplace_back(part);
      }
    }
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  if (!changed) return std::nullopt;
  return kept;
}

}  // namespace

std::optional<FilteredRules> withoutUnknownRuleParts(std::string_view text) {
  std::optional<FilteredRules> result;
  std::size_t copied = 0;  // of `text`, into result->text
  std::size_t start = 0;
  while (start < text.size()) {
    // One unfolded line: its physical lines, continuations starting with a blank.
    std::size_t end = start;
    std::string unfolded;
    bool rule = false;
    while (true) {
      std::size_t next = text.find('\n', end);
      if (next == std::string_view::npos) next = text.size();
      std::string_view physical = text.substr(end, next - end);
      if (!physical.empty() && physical.back() == '\r') physical.remove_suffix(1);
      if (end == start) {
        rule = isRuleLine(physical);
        if (!rule) {
          end = next;
          break;
        }
      } else {
        physical.remove_prefix(1);
      }
      unfolded += physical;
      end = next;
      if (end >= text.size() || end + 1 >= text.size() ||
          (text[end + 1] != ' ' && text[end + 1] != '\t')) {
        break;
      }
      ++end;
    }
    if (rule) {
      std::vector<std::string> ignored =
          result ? std::move(result->ignored) : std::vector<std::string>{};
      const std::optional<std::string> filtered = filteredLine(unfolded, ignored);
      if (filtered) {
        if (!result) result.emplace();
        result->text.append(text.substr(copied, start - copied));
        result->text += *filtered;
        copied = end;
      }
      if (result) result->ignored = std::move(ignored);
    }
    start = end + 1;
  }
  if (result) result->text.append(text.substr(std::min(copied, text.size())));
  return result;
}

}  // namespace vorlane
