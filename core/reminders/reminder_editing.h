#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "core/reminders/reminder.h"
#include "foundation/calendar.h"
#include "foundation/date.h"

namespace vorlane {

// The rule for changing a saved reminder, and the prompts shown when a new or edited
// reminder cannot be accepted.
class ReminderEditing {
 public:
  class Error : public std::exception {
   public:
    enum class Kind { reminderNoLongerExists };

    // Thrown by whoever applies an edit to a reminder its store no longer holds.
    static const Error reminderNoLongerExists;

    explicit Error(Kind kind) noexcept : kind_(kind) {}

    Kind kind() const noexcept { return kind_; }
    // The sentence shown to the user.
    std::string errorDescription() const { return what(); }
    const char* what() const noexcept override;

    bool operator==(const Error& other) const noexcept { return kind_ == other.kind_; }

   private:
    Kind kind_;
  };

  ReminderEditing() = delete;

  // The reminder with the trimmed `phrase` (kept as typed otherwise) and, unless `schedule`
  // is blank, the schedule parsed from it as of `now`; the id is always kept, and a blank
  // schedule keeps the trigger and creation date exactly. Throws
  // ReminderParser::ParseError::noPhraseFound for a blank phrase, before the schedule is
  // looked at, and noTimeFound for a schedule with no time in it; the reminder passed in is
  // never changed.
  static Reminder revised(const Reminder& reminder, std::string_view phrase,
                          std::string_view schedule, Date now, const Calendar& calendar);

  // The prompt for an error of adding or editing a reminder: a parse error's advice, or
  // any other error's own description.
  static std::string message(const std::exception& error);
};

inline const ReminderEditing::Error ReminderEditing::Error::reminderNoLongerExists{
    Kind::reminderNoLongerExists};

}  // namespace vorlane

template <>
struct std::hash<vorlane::ReminderEditing::Error> {
  std::size_t operator()(const vorlane::ReminderEditing::Error& error) const noexcept {
    return static_cast<std::size_t>(error.kind());
  }
};
