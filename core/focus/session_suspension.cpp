#include <algorithm>
#include <cmath>

#include "core/focus/focus_input.h"
#include "core/focus/pomodoro_session.h"

namespace vorlane {

bool PomodoroSession::Suspension::isValid() const {
  return std::isfinite(remaining) && std::isfinite(elapsed) && remaining > 0 && elapsed >= 0 &&
         remaining <= maximumSeconds && elapsed <= maximumSeconds && FocusInput::fitsGoal(focus);
}

Json PomodoroSession::Suspension::toJson() const {
  Json object = Json::object();
  object["sessionID"] = json::fromUUID(sessionID);
  object["focus"] = focus;
  object["remaining"] = json::fromDouble(remaining);
  object["elapsed"] = json::fromDouble(elapsed);
  object["wasCounted"] = wasCounted;
  return object;
}

PomodoroSession::Suspension PomodoroSession::Suspension::fromJson(const JsonReader& reader) {
  Suspension s;
  s.sessionID = reader["sessionID"].asUUID();
  s.focus = reader["focus"].asString();
  s.remaining = reader["remaining"].asDouble();
  s.elapsed = reader["elapsed"].asDouble();
  s.wasCounted = reader["wasCounted"].asBool();
  return s;
}

std::optional<PomodoroSession::Suspension> PomodoroSession::suspension(Date now) const {
  Suspension s{sessionID_, focus_, 0, 0, currentSessionWasCounted_};
  if (const auto* w = phase_.as<Phase::Working>()) {
    s.remaining = std::max(0.0, w->endsAt - now);
    s.elapsed = std::max(0.0, now - w->startedAt);
  } else if (const auto* p = phase_.as<Phase::Paused>(); p != nullptr && p->kind == Kind::work) {
    s.remaining = p->remaining;
    s.elapsed = p->elapsed;
  } else {
    return std::nullopt;
  }
  if (!s.isValid()) return std::nullopt;
  return s;
}

bool PomodoroSession::restore(const Suspension& s) {
  if (!s.isValid()) return false;
  sessionID_ = s.sessionID;
  focus_ = s.focus;
  currentSessionWasCounted_ = s.wasCounted;
  completion_.reset();
  phase_ = Phase::Paused{s.remaining, Kind::work, s.elapsed};
  return true;
}

}  // namespace vorlane
