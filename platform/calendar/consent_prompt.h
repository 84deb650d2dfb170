#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vorlane {

// Asks the user whether the application may read the calendars in the named folders. The
// window itself belongs to the user interface; it must not block (no nested event loop).
class ConsentPrompt {
 public:
  enum class Answer { granted, refused, dismissed };

  virtual ~ConsentPrompt() = default;
  // Shows the question and calls `answer` once, on the main thread, when the user has
  // answered or closed it.
  virtual void ask(const std::vector<std::string>& folders, std::function<void(Answer)> answer) = 0;
};

}  // namespace vorlane
