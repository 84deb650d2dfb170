#include "core/focus/focus_input.h"

#include "foundation/text.h"

namespace vorlane {

std::string FocusInput::cleaned(std::string_view text) {
  std::string result;
  for (const std::string& word : words(text)) {
    if (!result.empty()) result += ' ';
    result += word;
  }
  return result;
}

bool FocusInput::isValidGoal(std::string_view text) {
  const std::string goal = cleaned(text);
  return !goal.empty() && graphemeCount(goal) <= maximumLength;
}

}  // namespace vorlane
