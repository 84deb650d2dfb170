#include "core/reminders/reminder_editing.h"

#include "core/reminders/reminder_parser.h"
#include "foundation/text.h"

namespace vorlane {

std::string_view describe(ReminderEditing::ErrorCase error) {
  switch (error) {
    case ReminderEditing::ErrorCase::reminderNoLongerExists:
      return "This reminder is no longer saved. Close this window and add a new reminder.";
  }
  return {};
}

Reminder ReminderEditing::revised(const Reminder& reminder, std::string_view phrase,
                                  std::string_view schedule, Date now, const Calendar& calendar) {
  std::string newPhrase = trimmed(phrase);
  if (!hasVisibleCharacter(newPhrase)) {
    throw ReminderParser::ParseError(ReminderParser::ErrorCase::noPhraseFound);
  }
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

std::string ReminderEditing::message(const std::exception& error) { return error.what(); }

}  // namespace vorlane
