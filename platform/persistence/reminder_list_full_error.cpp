#include "platform/persistence/reminder_list_full_error.h"

namespace vorlane {

ReminderListFullError::ReminderListFullError(std::size_t count)
    : count_(count),
      sentence_("The reminder list is full at " + std::to_string(count) +
                (count == 1 ? " reminder" : " reminders") +
                ", so the change could not be saved. Nothing was changed.") {}

}  // namespace vorlane
