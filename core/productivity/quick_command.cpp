#include "core/productivity/quick_command.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <charconv>
#include <cstdint>
#include <vector>

#include "core/focus/focus_input.h"
#include "foundation/character_breaks.h"
#include "foundation/regex.h"
#include "foundation/text.h"

namespace vorlane {
namespace {

using Error = QuickCommand::Error;

struct KeywordAndRest {
  std::string keyword;
  std::string rest;
};

// Splits at the first run of white-space characters (by each character's first code
// point). None when no non-blank text follows that run.
std::optional<KeywordAndRest> splitOnce(const std::string& text) {
  const icu::UnicodeString unicode = toUnicode(text);
  icu::BreakIterator& breaks = detail::characterBreaks(unicode);
  int32_t keywordEnd = -1;
  int32_t start = breaks.first();
  for (int32_t end = breaks.next(); end != icu::BreakIterator::DONE;
       start = end, end = breaks.next()) {
    const bool blank = isWhiteSpace(static_cast<char32_t>(unicode.char32At(start)));
    if (keywordEnd < 0) {
      if (blank) keywordEnd = start;
    } else if (!blank) {
      return KeywordAndRest{toUtf8(unicode.tempSubString(0, keywordEnd)),
                            toUtf8(unicode.tempSubString(start))};
    }
  }
  return std::nullopt;
}

// Like a number: a numeric character of any script, or a hyphen-minus.
bool startsLikeNumber(const std::string& word) {
  if (word.empty()) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(word.data());
  int32_t offset = 0;
  UChar32 first = 0;
  U8_NEXT(bytes, offset, static_cast<int32_t>(word.size()), first);
  return first == U'-' || u_getIntPropertyValue(first, UCHAR_NUMERIC_TYPE) != U_NT_NONE;
}

// "25m" or "25M": a whole number of minutes from 1 to 90; anything else is refused.
int lengthMinutes(const std::string& word) {
  const std::string lower = lowercased(word);
  if (lower.empty() || lower.back() != 'm') throw Error(Error::Case::duration);
  // Only "m" or "M" lower-cases to "m", so the last character is that one byte.
  const std::string_view number(word.data(), word.size() - 1);
  std::int64_t value = 0;
  const auto [end, failure] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (failure != std::errc() || end != number.data() + number.size() ||
      !FocusInput::isValidMinutes(value)) {
    throw Error(Error::Case::duration);
  }
  return static_cast<int>(value);
}

QuickCommand parseFocus(const std::string& rest) {
  const std::vector<std::string> pieces = words(rest);
  std::optional<int> minutes;
  std::size_t first = 0;
  if (!pieces.empty() && startsLikeNumber(pieces.front())) {
    minutes = lengthMinutes(pieces.front());
    first = 1;
  }
  std::string joined;
  for (std::size_t i = first; i < pieces.size(); ++i) {
    if (!joined.empty()) joined += ' ';
    joined += pieces[i];
  }
  // Joining can make new white space (a space before a combining mark), so the goal is
  // cleaned once more: the check then judges exactly the goal that is kept.
  std::string goal = FocusInput::cleaned(joined);
  if (!FocusInput::isValidGoal(goal)) throw Error(Error::Case::goal);
  return QuickCommand::focus(minutes, std::move(goal));
}

// The keyword already said "remind", so the "me to" or "me" after it is the rest of that
// filler ("remind me to ..."), which the reminder parser would no longer see as one.
std::string withoutLeadingMe(const std::string& rest) {
  static const Regex me(R"((?i)^me(?:\s+to)?(?:\s+|$))");
  const MatchText text(rest);
  const std::optional<RegexMatch> match = me.prefixMatch(text, 0);
  if (!match) return rest;
  return text.utf8(match->whole.end, text.length());
}

}  // namespace

std::string_view describe(QuickCommand::ErrorCase error) {
  using Case = QuickCommand::ErrorCase;
  switch (error) {
    case Case::help:
      return "Try focus 25m finish proposal, remind in 40m stretch, pause, resume, or stop.";
    case Case::goal:
      return "Give your focus a goal of 1\u2013120 characters.";
    case Case::duration:
      return "Use a whole number of minutes from 1 to 90, such as focus 25m finish proposal.";
  }
  return "Try focus 25m finish proposal, remind in 40m stretch, pause, resume, or stop.";
}

QuickCommand QuickCommand::parse(std::string_view text) {
  const std::string line = trimmed(text);
  const std::string lower = lowercased(line);
  if (lower == "pause") return pause();
  if (lower == "resume") return resume();
  if (lower == "stop") return stop();

  const std::optional<KeywordAndRest> split = splitOnce(line);
  if (!split) throw Error(Error::Case::help);
  const std::string keyword = lowercased(split->keyword);
  const std::string rest = trimmed(split->rest);
  if (keyword == "remind") return remind(withoutLeadingMe(rest));
  if (keyword == "focus") return parseFocus(rest);
  throw Error(Error::Case::help);
}

}  // namespace vorlane
