#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "core/focus/pomodoro_session.h"
#include "foundation/date.h"

namespace vorlane {

// When to emphasise a finished phase again while it waits for the user: 30 s and 90 s after
// it finished, each at most once, and only when noticed in time.
class CompletionReminders {
 public:
  // Seconds after the completion's finishedAt, in order.
  static constexpr std::array<double, 2> offsets = {30, 90};
  // How late a reminder may be noticed and still be given.
  static constexpr double tolerance = 5;

  CompletionReminders() = default;

  // True when a reminder is due now. A completion that differs from the watched one in any
  // field (or none) starts the count again; none always gives false. Every offset already
  // passed is used up; only the last of them is judged, and it gives true only when
  // noticed at most `tolerance` seconds late.
  bool takeDueReminder(const std::optional<PomodoroSession::Completion>& completion, Date now);

 private:
  std::optional<PomodoroSession::Completion> completion_;
  std::size_t nextIndex_ = 0;
};

}  // namespace vorlane
