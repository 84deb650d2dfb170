#pragma once

#include <unicode/unistr.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

U_NAMESPACE_BEGIN
class RegexPattern;
class RegexMatcher;
U_NAMESPACE_END

namespace vorlane {

// A UTF-16 text prepared for matching, knowing its grapheme-cluster boundaries.
class MatchText {
 public:
  explicit MatchText(std::string_view utf8);
  explicit MatchText(icu::UnicodeString text);

  const icu::UnicodeString& string() const { return text_; }
  int32_t length() const { return text_.length(); }
  // Whether a UTF-16 offset lies between two user-perceived characters (0 and the length do).
  bool isBoundary(int32_t offset) const;
  std::string utf8(int32_t start, int32_t end) const;

 private:
  icu::UnicodeString text_;
  std::vector<bool> boundaries_;  // empty when every offset is a boundary (plain ASCII)
};

// One match: UTF-16 ranges of the whole match and of each group (-1 when the group took
// no part in the match).
struct RegexMatch {
  struct Range {
    int32_t start = -1;
    int32_t end = -1;
    bool matched() const { return start >= 0; }
  };
  Range whole;
  std::vector<Range> groups;  // groups[0] is group 1

  bool groupMatched(int group) const;
  // Whether the group took part and starts and ends on character boundaries.
  bool groupOnBoundaries(const MatchText& text, int group) const;
  // The group's text in UTF-8; empty when it took no part.
  std::string groupText(const MatchText& text, int group) const;
};

// A compiled ICU regular expression (ICU syntax: \b, \d and \s are Unicode-aware, (?i) folds
// case). A match whose start or end falls inside a user-perceived character counts as no
// match; the search never moves on to a later one in its place.
class Regex {
 public:
  // Throws std::invalid_argument when the pattern does not compile.
  explicit Regex(std::string_view pattern);
  ~Regex();
  Regex(Regex&&) noexcept;
  Regex& operator=(Regex&&) noexcept;

  // The first match starting at or after `from` (UTF-16 offset); none when there is none or
  // when its ends are not boundaries.
  std::optional<RegexMatch> firstMatch(const MatchText& text, int32_t from = 0) const;
  // The non-overlapping matches in order, those whose ends are not boundaries left out.
  std::vector<RegexMatch> allMatches(const MatchText& text) const;
  // The match that begins exactly at `from`, with the text before `from` out of sight (as
  // if the text started there, so `^` matches at `from`); none unless its ends are
  // boundaries. Lets an anchored pattern walk along a text without copying its tail.
  std::optional<RegexMatch> prefixMatch(const MatchText& text, int32_t from) const;
  bool matches(const MatchText& text) const { return firstMatch(text).has_value(); }

 private:
  class Lease;
  struct MatcherPool;

  std::unique_ptr<icu::RegexPattern> pattern_;
  // Matchers are costly to create, so finished ones are kept for the next call.
  std::unique_ptr<MatcherPool> pool_;
};

// Reads a whole text of ASCII digits (an optional leading '-') as a number; none for any
// other character (a non-ASCII digit included), an empty text or an overflow.
std::optional<std::int64_t> parseAsciiInteger(std::string_view text);

}  // namespace vorlane
