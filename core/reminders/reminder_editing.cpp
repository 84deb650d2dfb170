#include "core/reminders/reminder_editing.h"

#include "core/reminders/reminder_parser.h"
#include "foundation/text.h"

namespace vorlane {

const char* ReminderEditing::Error::what() const noexcept {
  return "This reminder is no longer saved. Close this window and add a new reminder.";
}

Reminder ReminderEditing::revised(const Reminder& reminder, std::string_view phrase,
                                  std::string_view schedule, Date now, const Calendar& calendar) {
  std::string newPhrase = trimmed(phrase);
  if (newPhrase.empty()) throw ReminderParser::ParseError::noPhraseFound;
  Reminder copy = reminder;
  copy.phrase = std::move(newPhrase);

  const std::string newSchedule = trimmed(schedule);
  if (newSchedule.empty()) return copy;
  // The appended word leaves the parser a phrase to find; only the schedule is kept.
  const Reminder parsed = ReminderParser(calendar).parse(newSchedule + " reminder", now);
  copy.trigger = parsed.trigger;
  copy.createdAt = parsed.createdAt;
  return copy;
}

std::string ReminderEditing::message(const std::exception& error) {
  if (const auto* parseError = dynamic_cast<const ReminderParser::ParseError*>(&error)) {
    switch (parseError->kind()) {
      case ReminderParser::ParseError::Kind::empty:
      case ReminderParser::ParseError::Kind::noTimeFound:
        return "Add a time, such as 4pm, in 25m, or weekdays 9:30am.";
      case ReminderParser::ParseError::Kind::noPhraseFound:
        return "Add a message for the character to say.";
    }
  }
  return error.what();
}

}  // namespace vorlane
