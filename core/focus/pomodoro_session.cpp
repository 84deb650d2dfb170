#include "core/focus/pomodoro_session.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/focus/saturated_int.h"
#include "foundation/text.h"

namespace vorlane {

namespace {

double minutesToSeconds(std::int64_t minutes) {
  std::int64_t seconds = 0;
  if (__builtin_mul_overflow(minutes, std::int64_t{60}, &seconds)) {
    seconds = minutes < 0 ? std::numeric_limits<std::int64_t>::min()
                          : std::numeric_limits<std::int64_t>::max();
  }
  return static_cast<double>(seconds);
}

}  // namespace

std::string_view PomodoroSession::label(Kind kind) {
  return kind == Kind::work ? "focus" : "break";
}

std::optional<PomodoroSession::Kind> PomodoroSession::Phase::kind() const {
  if (is<Working>()) return Kind::work;
  if (is<OnBreak>()) return Kind::rest;
  if (const Paused* p = as<Paused>()) return p->kind;
  return std::nullopt;
}

std::string PomodoroSession::Completion::title() const {
  const std::int64_t minutes = saturatedInt64(std::round(duration / 60));
  return std::to_string(minutes) + " min " + std::string(label(kind)) + " complete";
}

std::string PomodoroSession::Completion::nudge() const {
  return kind == Kind::work ? "Time to stand up and stretch." : "Ready when you are.";
}

PomodoroSession::PomodoroSession(std::int64_t workMinutes, std::int64_t breakMinutes)
    : sessionID_(UUID::random()),
      workDuration_(minutesToSeconds(workMinutes)),
      breakDuration_(minutesToSeconds(breakMinutes)) {}

bool PomodoroSession::isRunning() const { return !phase_.is<Phase::Idle>(); }

bool PomodoroSession::isPaused() const { return phase_.is<Phase::Paused>(); }

std::optional<double> PomodoroSession::remaining(Date now) const {
  if (const auto* w = phase_.as<Phase::Working>()) return std::max(0.0, w->endsAt - now);
  if (const auto* b = phase_.as<Phase::OnBreak>()) return std::max(0.0, b->endsAt - now);
  if (const auto* p = phase_.as<Phase::Paused>()) return p->remaining;
  return std::nullopt;
}

std::optional<double> PomodoroSession::progress(Date now) const {
  auto share = [](double done, double total) {
    if (!(total > 0)) return 1.0;
    return std::clamp(done / total, 0.0, 1.0);
  };
  if (const auto* w = phase_.as<Phase::Working>()) {
    return share(now - w->startedAt, w->endsAt - w->startedAt);
  }
  if (const auto* b = phase_.as<Phase::OnBreak>()) {
    return share(now - b->startedAt, b->endsAt - b->startedAt);
  }
  if (const auto* p = phase_.as<Phase::Paused>()) {
    return share(p->elapsed, p->remaining + p->elapsed);
  }
  return std::nullopt;
}

std::optional<Date> PomodoroSession::endsAt() const {
  if (const auto* w = phase_.as<Phase::Working>()) return w->endsAt;
  if (const auto* b = phase_.as<Phase::OnBreak>()) return b->endsAt;
  return std::nullopt;
}

void PomodoroSession::start(Date now, std::string_view focus) {
  focus_ = trimmed(focus);
  sessionID_ = UUID::random();
  currentSessionWasCounted_ = false;
  completion_.reset();
  phase_ = Phase::Working{now, now + workDuration_};
}

void PomodoroSession::startBreak(Date now) {
  completion_.reset();
  phase_ = Phase::OnBreak{now, now + breakDuration_};
}

void PomodoroSession::pause(Date now) {
  if (const auto* w = phase_.as<Phase::Working>()) {
    phase_ = Phase::Paused{std::max(0.0, w->endsAt - now), Kind::work,
                           std::max(0.0, now - w->startedAt)};
  } else if (const auto* b = phase_.as<Phase::OnBreak>()) {
    phase_ = Phase::Paused{std::max(0.0, b->endsAt - now), Kind::rest,
                           std::max(0.0, now - b->startedAt)};
  }
}

void PomodoroSession::resume(Date now) {
  const auto* p = phase_.as<Phase::Paused>();
  if (p == nullptr) return;
  const Date startedAt = now - p->elapsed;
  const Date endsAt = now + p->remaining;
  if (p->kind == Kind::work) {
    phase_ = Phase::Working{startedAt, endsAt};
  } else {
    phase_ = Phase::OnBreak{startedAt, endsAt};
  }
}

void PomodoroSession::extend(double amount, Date now) {
  if (const auto* w = phase_.as<Phase::Working>()) {
    phase_ = Phase::Working{w->startedAt, w->endsAt + amount};
  } else if (const auto* b = phase_.as<Phase::OnBreak>()) {
    phase_ = Phase::OnBreak{b->startedAt, b->endsAt + amount};
  } else if (const auto* p = phase_.as<Phase::Paused>()) {
    phase_ = Phase::Paused{p->remaining + amount, p->kind, p->elapsed};
  } else if (phase_.is<Phase::AwaitingBreak>()) {
    const double done = completion_ ? completion_->duration : 0.0;
    completion_.reset();
    phase_ = Phase::Working{now - done, now + amount};
  }
}

void PomodoroSession::skipBreak() {
  const bool inBreak = phase_.is<Phase::AwaitingBreak>() || phase_.kind() == Kind::rest;
  if (inBreak) cancel();
}

void PomodoroSession::cancel() {
  focus_.clear();
  completion_.reset();
  phase_ = Phase::Idle{};
}

std::optional<PomodoroSession::Event> PomodoroSession::advance(Date now, const Calendar& calendar) {
  if (const auto* w = phase_.as<Phase::Working>()) {
    if (!(now >= w->endsAt)) return std::nullopt;
    completion_ = Completion{Kind::work, w->endsAt - w->startedAt, w->endsAt, focus_, sessionID_};
    recordCompletion(now, calendar);
    phase_ = Phase::AwaitingBreak{now};
    return Event::workCompleted;
  }
  if (const auto* b = phase_.as<Phase::OnBreak>()) {
    if (!(now >= b->endsAt)) return std::nullopt;
    completion_ = Completion{Kind::rest, b->endsAt - b->startedAt, b->endsAt, focus_, sessionID_};
    phase_ = Phase::Idle{};
    focus_.clear();
    return Event::breakCompleted;
  }
  return std::nullopt;
}

void PomodoroSession::recordCompletion(Date now, const Calendar& calendar) {
  if (!completedOn_ || !calendar.isSameDay(*completedOn_, now)) countedSessionIDs_.clear();
  completedOn_ = now;
  if (!currentSessionWasCounted_) {
    countedSessionIDs_.push_back(sessionID_);
    currentSessionWasCounted_ = true;
  }
  completedToday_ = static_cast<std::int64_t>(countedSessionIDs_.size());
}

void PomodoroSession::discardLastCompletion() {
  if (countedSessionIDs_.empty()) return;
  const UUID removed = countedSessionIDs_.back();
  countedSessionIDs_.pop_back();
  completedToday_ = static_cast<std::int64_t>(countedSessionIDs_.size());
  if (removed == sessionID_) currentSessionWasCounted_ = false;
}

}  // namespace vorlane
