#include "coordination/status/status_line.h"

namespace vorlane {
namespace {

constexpr const char* separator = " - ";

}  // namespace

std::string nextVisitDescription(const PomodoroSession& session, std::optional<Date> mutedUntil,
                                 const std::function<std::optional<Date>()>& nextVisit, Date now,
                                 const std::function<std::string(Date)>& formatTime) {
  // A mute that has run out no longer counts, although it stays set.
  if (mutedUntil && *mutedUntil > now) return "muted until " + formatTime(*mutedUntil);
  if (const auto& completion = session.completion()) {
    return completion->title() + separator + completion->elapsedDescription(now);
  }
  if (session.isPaused()) {
    if (const auto remaining = session.remaining(now)) {
      return "paused, " + PomodoroSession::countdown(*remaining) + " left";
    }
  }
  if (const auto endsAt = session.endsAt()) {
    const bool onBreak = session.phase().kind() == PomodoroSession::Kind::rest;
    std::string line = std::string(onBreak ? "break" : "focus") + " until " + formatTime(*endsAt);
    if (!session.focus().empty()) line += separator + session.focus();
    return line;
  }
  if (const std::optional<Date> next = nextVisit()) return "next visit at " + formatTime(*next);
  return "no visits scheduled";
}

}  // namespace vorlane
