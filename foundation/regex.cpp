#include "foundation/regex.h"

#include <unicode/regex.h>

#include <algorithm>
#include <charconv>
#include <mutex>
#include <stdexcept>

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

// The matcher's current match with its groups; none when ICU reports a failure.
std::optional<RegexMatch> currentMatch(const icu::RegexMatcher& matcher) {
  UErrorCode status = U_ZERO_ERROR;
  RegexMatch match;
  match.whole = rangeOf(matcher, 0, status);
  const int32_t groupCount = matcher.groupCount();
  match.groups.reserve(static_cast<std::size_t>(groupCount));
  for (int32_t g = 1; g <= groupCount; ++g) match.groups.push_back(rangeOf(matcher, g, status));
  if (U_FAILURE(status)) return std::nullopt;
  return match;
}

// The match the matcher found, when its ends are character boundaries. A match cut inside
// a character is no match: searching on for a later one would read a different phrase than
// the one the user wrote first ("9am\U0001F3FB call 4pm" is not 4pm).
std::optional<RegexMatch> wholeMatch(const icu::RegexMatcher& matcher, const MatchText& text) {
  UErrorCode status = U_ZERO_ERROR;
  const RegexMatch::Range whole = rangeOf(matcher, 0, status);
  if (U_FAILURE(status) || !text.isBoundary(whole.start) || !text.isBoundary(whole.end)) {
    return std::nullopt;
  }
  return currentMatch(matcher);
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

struct Regex::MatcherPool {
  std::mutex mutex;
  std::vector<std::unique_ptr<icu::RegexMatcher>> idle;
};

// A matcher of the pool set to one text for the lease's lifetime, then handed back.
class Regex::Lease {
 public:
  Lease(const Regex& regex, const MatchText& text) : pool_(regex.pool_.get()) {
    if (!regex.pattern_ || !pool_) return;
    {
      const std::lock_guard<std::mutex> lock(pool_->mutex);
      if (!pool_->idle.empty()) {
        matcher_ = std::move(pool_->idle.back());
        pool_->idle.pop_back();
      }
    }
    UErrorCode status = U_ZERO_ERROR;
    if (!matcher_) {
      matcher_.reset(regex.pattern_->matcher(status));
      if (U_FAILURE(status)) {
        matcher_.reset();
        return;
      }
    }
    // The matcher refers to the text's string, which outlives the lease.
    matcher_->reset(text.string());
  }

  ~Lease() {
    if (!matcher_) return;
    const std::lock_guard<std::mutex> lock(pool_->mutex);
    pool_->idle.push_back(std::move(matcher_));
  }

  Lease(const Lease&) = delete;
  Lease& operator=(const Lease&) = delete;

  icu::RegexMatcher* get() const { return matcher_.get(); }

 private:
  MatcherPool* pool_;
  std::unique_ptr<icu::RegexMatcher> matcher_;
};

Regex::Regex(std::string_view pattern) : pool_(std::make_unique<MatcherPool>()) {
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

// The pool goes first: its matchers refer to the pattern.
Regex::~Regex() { pool_.reset(); }
Regex::Regex(Regex&&) noexcept = default;
Regex& Regex::operator=(Regex&& other) noexcept {
  pool_ = std::move(other.pool_);
  pattern_ = std::move(other.pattern_);
  return *this;
}

std::optional<RegexMatch> Regex::firstMatch(const MatchText& text, int32_t from) const {
  if (from < 0 || from > text.length()) return std::nullopt;
  const Lease lease(*this, text);
  icu::RegexMatcher* matcher = lease.get();
  if (!matcher) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  if (!matcher->find(from, status) || U_FAILURE(status)) return std::nullopt;
  return wholeMatch(*matcher, text);
}

std::vector<RegexMatch> Regex::allMatches(const MatchText& text) const {
  std::vector<RegexMatch> out;
  const Lease lease(*this, text);
  icu::RegexMatcher* matcher = lease.get();
  if (!matcher) return out;
  // ICU's own sequence of matches (it steps past an empty one); those cut inside a
  // character are left out.
  UErrorCode status = U_ZERO_ERROR;
  while (matcher->find(status) && U_SUCCESS(status)) {
    if (std::optional<RegexMatch> match = wholeMatch(*matcher, text))
      out.push_back(std::move(*match));
  }
  return out;
}

std::optional<RegexMatch> Regex::prefixMatch(const MatchText& text, int32_t from) const {
  if (from < 0 || from > text.length()) return std::nullopt;
  const Lease lease(*this, text);
  icu::RegexMatcher* matcher = lease.get();
  if (!matcher) return std::nullopt;
  // Default bounds: anchoring (^ and $ at the region's ends) and opaque (nothing before
  // `from` is seen, not even by \b).
  UErrorCode status = U_ZERO_ERROR;
  matcher->region(from, text.length(), status);
  if (U_FAILURE(status) || !matcher->lookingAt(status) || U_FAILURE(status)) return std::nullopt;
  std::optional<RegexMatch> match = currentMatch(*matcher);
  if (!match || !text.isBoundary(match->whole.start) || !text.isBoundary(match->whole.end)) {
    return std::nullopt;
  }
  return match;
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
