#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/focus/pomodoro_session.h"
#include "core/focus/saturated_int.h"

namespace vorlane {

std::string PomodoroSession::statusText(Date now) const {
  if (completion_) return "Done";
  const std::optional<double> left = remaining(now);
  if (!left) return "";
  const char* label = "Focus";
  if (isPaused()) {
    label = "Paused";
  } else if (phase_.kind() == Kind::rest) {
    label = "Break";
  }
  return std::string(label) + " " + countdown(*left);
}

std::string PomodoroSession::countdown(double seconds) {
  const long long whole = std::max<long long>(0, saturatedInt64(std::ceil(seconds)));
  char text[48];
  std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

std::string PomodoroSession::Completion::elapsedDescription(Date now) const {
  const std::int64_t minutes = saturatedInt64(std::trunc((now - finishedAt) / 60));
  if (minutes < 1) return "Finished just now";
  if (minutes <= 59) return "Finished " + std::to_string(minutes) + " min ago";
  const std::int64_t hours = minutes / 60;
  const std::int64_t rest = minutes % 60;
  if (rest == 0) return "Finished " + std::to_string(hours) + " hr ago";
  return "Finished " + std::to_string(hours) + " hr " + std::to_string(rest) + " min ago";
}

}  // namespace vorlane
