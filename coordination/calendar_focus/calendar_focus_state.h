#pragma once

#include <optional>
#include <string>
#include <utility>

#include "core/contracts/calendar_access.h"
#include "core/contracts/focus_opportunity.h"

namespace vorlane {

// What the calendar focus window shows: one case, with the data that case carries (the
// offered block, the access that stops reading, or the failure's sentence).
class CalendarFocusState {
 public:
  enum class Kind { available, accessRequired, failed, disabled, requesting, checking, noGap };

  static CalendarFocusState available(FocusOpportunity opportunity) {
    CalendarFocusState state(Kind::available);
    state.opportunity_ = opportunity;
    return state;
  }
  static CalendarFocusState accessRequired(CalendarAccess access) {
    CalendarFocusState state(Kind::accessRequired);
    state.access_ = access;
    return state;
  }
  static CalendarFocusState failed(std::string message) {
    CalendarFocusState state(Kind::failed);
    state.message_ = std::move(message);
    return state;
  }
  static CalendarFocusState disabled() { return CalendarFocusState(Kind::disabled); }
  static CalendarFocusState requesting() { return CalendarFocusState(Kind::requesting); }
  static CalendarFocusState checking() { return CalendarFocusState(Kind::checking); }
  static CalendarFocusState noGap() { return CalendarFocusState(Kind::noGap); }

  Kind kind() const { return kind_; }
  // The offered block; only while available.
  const std::optional<FocusOpportunity>& opportunity() const { return opportunity_; }
  // The access that stops reading; only while access is required.
  const std::optional<CalendarAccess>& access() const { return access_; }
  // The sentence to show; empty unless failed.
  const std::string& message() const { return message_; }
  // Waiting for the user's answer or for the calendar.
  bool isBusy() const { return kind_ == Kind::requesting || kind_ == Kind::checking; }

  bool operator==(const CalendarFocusState&) const = default;

 private:
  explicit CalendarFocusState(Kind kind) : kind_(kind) {}

  Kind kind_;
  std::optional<FocusOpportunity> opportunity_;
  std::optional<CalendarAccess> access_;
  std::string message_;
};

}  // namespace vorlane
