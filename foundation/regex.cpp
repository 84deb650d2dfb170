#include "foundation/regex.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include <unicode/regex.h>

#include "foundation/character_breaks.h"
#include "foundation/text.h"

namespace vorlane {
namespace {

// Whether every offset of the text lies between characters: ASCII without a CR LF pair.
bool everyOffsetIsBoundary(const icu::UnicodeString& text) {
  const int32_t length = text.length();
  for (int32_t i = 0; i < length; ++i) {
    const char16_t unit = text.charAt(i);
    if (unit >= 0x80) return false;
    if (unit == u'\r' && i + 1 < length && text.charAt(i + 1) == u'\n') return false;
  }
  return true;
}

RegexMatch::Range rangeOf(const icu::RegexMatcher& matcher, int32_t group, UErrorCode& status) {
  return {matcher.start(group, status), matcher.end(group, status)};
}

std::optional<RegexMatch> findWhole(icu::RegexMatcher& matcher, const MatchText& text,
                                    int32_t from) {
  UErrorCode status = U_ZERO_ERROR;
  int32_t searchFrom = from;
  while (searchFrom >= 0 && searchFrom <= text.length() && matcher.find(searchFrom, status) &&
         U_SUCCESS(status)) {
    RegexMatch match;
    match.whole = rangeOf(matcher, 0, status);
    if (U_FAILURE(status)) return std::nullopt;
    if (text.isBoundary(match.whole.start) && text.isBoundary(match.whole.end)) {
      const int32_t groupCount = matcher.groupCount();
      match.groups.reserve(static_cast<std::size_t>(groupCount));
      for (int32_t g = 1; g <= groupCount; ++g) match.groups.push_back(rangeOf(matcher, g, status));
      if (U_FAILURE(status)) return std::nullopt;
      return match;
    }
    // A match cut inside a character: look again one unit further on, where a later match
    // may still be whole.
    searchFrom = match.whole.start + 1;
  }
  return std::nullopt;
}

}  // namespace

MatchText::MatchText(std::string_view utf8) : MatchText(toUnicode(utf8)) {}

MatchText::MatchText(icu::UnicodeString text) : text_(std::move(text)) {
  if (everyOffsetIsBoundary(text_)) return;
  boundaries_.assign(static_cast<std::size_t>(text_.length()) + 1, false);
  icu::BreakIterator& breaks = detail::characterBreaks(text_);
  for (int32_t b = breaks.first(); b != icu::BreakIterator::DONE; b = breaks.next()) {
    boundaries_[static_cast<std::size_t>(b)] = true;
  }
}

bool MatchText::isBoundary(int32_t offset) const {
  if (offset < 0 || offset > text_.length()) return false;
  return boundaries_.empty() || boundaries_[static_cast<std::size_t>(offset)];
}

std::string MatchText::utf8(int32_t start, int32_t end) const {
  start = std::max(0, std::min(start, text_.length()));
  end = std::max(start, std::min(end, text_.length()));
  return toUtf8(text_.tempSubStringBetween(start, end));
}

bool RegexMatch::groupMatched(int group) const {
  if (group == 0) return whole.matched();
  return group > 0 && static_cast<std::size_t>(group) <= groups.size() &&
         groups[static_cast<std::size_t>(group) - 1].matched();
}

bool RegexMatch::groupOnBoundaries(const MatchText& text, int group) const {
  if (!groupMatched(group)) return false;
  const Range& range = group == 0 ? whole : groups[static_cast<std::size_t>(group) - 1];
  return text.isBoundary(range.start) && text.isBoundary(range.end);
}

std::string RegexMatch::groupText(const MatchText& text, int group) const {
  if (!groupMatched(group)) return {};
  const Range& range = group == 0 ? whole : groups[static_cast<std::size_t>(group) - 1];
  return text.utf8(range.start, range.end);
}

Regex::Regex(std::string_view pattern) {
  UParseError where{};
  UErrorCode status = U_ZERO_ERROR;
  pattern_.reset(icu::RegexPattern::compile(toUnicode(pattern), 0, where, status));
  if (U_FAILURE(status) || !pattern_) {
    pattern_.reset();
    throw std::invalid_argument("regular expression does not compile (" +
                                std::string(u_errorName(status)) + " at offset " +
                                std::to_string(where.offset) + "): " + std::string(pattern));
  }
}

Regex::~Regex() = default;
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&&) noexcept = default;

std::optional<RegexMatch> Regex::firstMatch(const MatchText& text, int32_t from) const {
  std::unique_ptr<icu::RegexMatcher> matcher = matcherFor(text);
  if (!matcher) return std::nullopt;
  return findWhole(*matcher, text, from);
}

std::vector<RegexMatch> Regex::allMatches(const MatchText& text) const {
  std::vector<RegexMatch> out;
  std::unique_ptr<icu::RegexMatcher> matcher = matcherFor(text);
  if (!matcher) return out;
  int32_t from = 0;
  while (std::optional<RegexMatch> match = findWhole(*matcher, text, from)) {
    // After an empty match, step on so that the search ends.
    from = match->whole.end > match->whole.start ? match->whole.end : match->whole.end + 1;
    out.push_back(std::move(*match));
  }
  return out;
}

std::unique_ptr<icu::RegexMatcher> Regex::matcherFor(const MatchText& text) const {
  if (!pattern_) return nullptr;
  UErrorCode status = U_ZERO_ERROR;
  // The matcher refers to the text's string, which outlives the matcher.
  std::unique_ptr<icu::RegexMatcher> matcher(pattern_->matcher(text.string(), status));
  if (U_FAILURE(status)) return nullptr;
  return matcher;
}

std::optional<std::int64_t> parseAsciiInteger(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace vorlane
