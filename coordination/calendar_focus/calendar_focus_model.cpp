#include "coordination/calendar_focus/calendar_focus_model.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "core/focus/focus_input.h"
#include "core/productivity/calendar_gap_finder.h"
#include "platform/logging/log.h"

namespace vorlane {
namespace {

constexpr const char* requestFailed =
    "Calendar permission could not be requested. Try again or check Settings.";
constexpr const char* readFailed =
    "Calendar availability could not be read. No focus session was started. Try refreshing.";
constexpr const char* invalidGoal = "Give this focus a goal of 1\u2013120 characters.";
constexpr const char* startFailed = "The focus could not be started.";

// The horizon's focus length is kept within what a focus may last.
constexpr int shortestHorizonMinutes = 5;
constexpr int longestHorizonMinutes = 90;
// Read a little past the block, for the margin before the next busy time.
constexpr double horizonMarginSeconds = 120;

void call(const std::function<void()>& done) {
  if (done) done();
}

}  // namespace

CalendarFocusModel::CalendarFocusModel(Dependencies d)
    : source_(std::move(d.source)),
      clock_(std::move(d.clock)),
      calendar_(std::move(d.calendar)),
      maximumMinutes_(std::move(d.maximumMinutes)),
      optIn_(d.recordStore) {
  if (!source_) throw std::invalid_argument("CalendarFocusModel needs a calendar source");
  if (!clock_) throw std::invalid_argument("CalendarFocusModel needs a clock");
  if (!calendar_) throw std::invalid_argument("CalendarFocusModel needs a calendar");
  if (!maximumMinutes_) throw std::invalid_argument("CalendarFocusModel needs a focus length");
  enabled_ = optIn_.load();
}

CalendarFocusModel::~CalendarFocusModel() = default;

CalendarAccess CalendarFocusModel::access() const { return source_->access(); }

void CalendarFocusModel::publish(const Snapshot& before) {
  if (!(snapshot() == before)) changes_.notify();
}

void CalendarFocusModel::setEnabled(bool enabled) {
  enabled_ = enabled;
  optIn_.store(enabled);
}

void CalendarFocusModel::loseAccess(CalendarAccess access) {
  setEnabled(false);
  checkedAt_.reset();
  state_ = State::accessRequired(access);
}

int CalendarFocusModel::beginRequest() {
  const Snapshot before = snapshot();
  const int expected = ++revision_;
  state_ = State::requesting();
  publish(before);
  return expected;
}

void CalendarFocusModel::enable(std::function<void()> done) {
  if (isBusy()) {
    call(done);
    return;
  }
  const int expected = beginRequest();
  const CalendarAccess initial = source_->access();
  if (initial != CalendarAccess::notAsked) {
    finishEnable(expected, initial == CalendarAccess::granted, std::move(done));
    return;
  }
  requestAccess(expected, std::move(done));
}

void CalendarFocusModel::askAgain(std::function<void()> done) {
  if (isBusy()) {
    call(done);
    return;
  }
  requestAccess(beginRequest(), std::move(done));
}

void CalendarFocusModel::requestAccess(int expected, std::function<void()> done) {
  source_->requestAccess([this, alive = lifetime(), expected, done = std::move(done)](
                             bool granted, std::exception_ptr error) mutable {
    if (alive.expired()) return call(done);
    if (!error) return finishEnable(expected, granted, std::move(done));
    if (revision_ == expected) {
      const Snapshot before = snapshot();
      setEnabled(false);
      state_ = State::failed(requestFailed);
      publish(before);
    }
    call(done);
  });
}

void CalendarFocusModel::finishEnable(int expected, bool granted, std::function<void()> done) {
  if (revision_ != expected) return call(done);
  const Snapshot before = snapshot();
  const CalendarAccess now = source_->access();
  if (granted && now == CalendarAccess::granted) {
    setEnabled(true);
    publish(before);
    refresh(std::move(done));
    return;
  }
  setEnabled(false);
  state_ = State::accessRequired(now);
  publish(before);
  call(done);
}

Date CalendarFocusModel::readThrough(Date now) const {
  const int minutes = std::clamp(maximumMinutes_(), shortestHorizonMinutes, longestHorizonMinutes);
  const Date horizon = now + (minutes * 60.0 + horizonMarginSeconds);
  // Midnight, or the first instant of tomorrow where a clock change skips it.
  const Date endOfToday = calendar_().startOfNextDay(now);
  if (!(endOfToday > now)) return horizon;
  return std::min(endOfToday, horizon);
}

void CalendarFocusModel::refresh(std::function<void()> done) {
  const int expected = ++revision_;
  if (!enabled_) return call(done);
  const Snapshot before = snapshot();
  const CalendarAccess access = source_->access();
  if (access != CalendarAccess::granted) {
    loseAccess(access);
    publish(before);
    return call(done);
  }
  state_ = State::checking();
  publish(before);

  const Date now = clock_->now();
  const Date through = readThrough(now);
  source_->busyIntervals({now, through},
                         [this, alive = lifetime(), expected, through, done = std::move(done)](
                             std::vector<BusyInterval> busy, std::exception_ptr error) {
                           if (!alive.expired())
                             finishRefresh(expected, through, std::move(busy), error);
                           call(done);
                         });
}

void CalendarFocusModel::finishRefresh(int expected, Date through, std::vector<BusyInterval> busy,
                                       std::exception_ptr error) {
  const Snapshot before = snapshot();
  if (error) {
    // checkedAt keeps the last good read.
    if (revision_ == expected && enabled_) state_ = State::failed(readFailed);
    return publish(before);
  }
  if (revision_ != expected || !enabled_) return;
  const CalendarAccess access = source_->access();
  if (access != CalendarAccess::granted) {
    loseAccess(access);
    return publish(before);
  }
  const Date now = clock_->now();
  checkedAt_ = now;
  // The focus length as set: below five minutes there is no block to offer.
  const auto block = CalendarGap::suggest(now, through, busy, maximumMinutes_());
  state_ = block ? State::available(*block) : State::noGap();
  if (block) {
    Log::pomodoro().info("calendar checked: room for %ld minutes",
                         static_cast<long>(block->minutes));
  } else {
    Log::pomodoro().info("calendar checked: no room for a focus");
  }
  publish(before);
}

void CalendarFocusModel::disable() {
  const Snapshot before = snapshot();
  ++revision_;
  setEnabled(false);
  checkedAt_.reset();
  state_ = State::disabled();
  publish(before);
}

void CalendarFocusModel::windowDisappeared() {
  ++revision_;
  if (!isBusy()) return;
  const Snapshot before = snapshot();
  state_ = State::disabled();
  publish(before);
}

void CalendarFocusModel::start(const std::string& goal, StartAction action,
                               std::function<void(bool)> done) {
  const auto finish = [done](bool started) {
    if (done) done(started);
  };
  const std::string cleaned = FocusInput::cleaned(goal);
  if (!FocusInput::isValidGoal(cleaned)) {
    const Snapshot before = snapshot();
    state_ = State::failed(invalidGoal);
    publish(before);
    return finish(false);
  }
  // The value the refresh below sets; anything begun after it moves the counter on.
  const int expected = revision_ + 1;
  refresh([this, alive = lifetime(), expected, cleaned, action = std::move(action), finish] {
    if (alive.expired() || revision_ != expected || !enabled_ || !opportunity()) {
      return finish(false);
    }
    try {
      if (action) action(static_cast<int>(opportunity()->minutes), cleaned);
    } catch (const std::exception& error) {
      const Snapshot before = snapshot();
      state_ = State::failed(error.what()[0] ? error.what() : startFailed);
      publish(before);
      return finish(false);
    } catch (...) {
      const Snapshot before = snapshot();
      state_ = State::failed(startFailed);
      publish(before);
      return finish(false);
    }
    finish(true);
  });
}

}  // namespace vorlane
