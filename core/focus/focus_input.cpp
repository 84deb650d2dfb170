#include "core/focus/focus_input.h"

#include <utility>

#include "core/settings/preferences.h"
#include "foundation/text.h"

namespace vorlane {

namespace {

std::string joinedWords(std::string_view text) {
  std::string result;
  for (const std::string& word : words(text)) {
    if (!result.empty()) result += ' ';
    result += word;
  }
  return result;
}

}  // namespace

std::string FocusInput::cleaned(std::string_view text) {
  // A piece that starts with a combining mark joins the space put before it into one
  // white-space character ("r\r\u0332" gives "r \u0332", then "r"), so one pass is not
  // always the end. Every pass that changes valid text makes it shorter.
  std::string result = joinedWords(text);
  for (std::string next = joinedWords(result); next != result; next = joinedWords(result)) {
    result = std::move(next);
  }
  return result;
}

bool FocusInput::isValidGoal(std::string_view text) {
  const std::string goal = cleaned(text);
  return hasVisibleCharacter(goal) && fitsGoal(goal);
}

bool FocusInput::isStoredGoal(std::string_view text) {
  const std::string goal = cleaned(text);
  return !goal.empty() && fitsGoal(goal);
}

bool FocusInput::fitsGoal(std::string_view cleanedGoal) {
  return graphemeCount(cleanedGoal) <= maximumLength;
}

bool FocusInput::fitsNextStep(std::string_view cleanedNote) {
  return graphemeCount(cleanedNote) <= maximumNextStepLength;
}

bool FocusInput::isValidMinutes(std::int64_t minutes) {
  return minutes >= Preferences::shortestMinutes && minutes <= Preferences::longestWorkMinutes;
}

}  // namespace vorlane
