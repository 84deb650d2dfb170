#include "core/focus/completion_reminders.h"

namespace vorlane {

bool CompletionReminders::takeDueReminder(
    const std::optional<PomodoroSession::Completion>& completion, Date now) {
  if (completion != completion_) {
    completion_ = completion;
    nextIndex_ = 0;
  }
  if (!completion) return false;
  const double elapsed = now - completion->finishedAt;
  std::optional<double> due;
  while (nextIndex_ < offsets.size() && offsets[nextIndex_] <= elapsed) {
    due = offsets[nextIndex_];
    ++nextIndex_;
  }
  if (!due) return false;
  return elapsed - *due <= tolerance;
}

}  // namespace vorlane
