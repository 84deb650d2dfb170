#include "ui/kit/failure_sentence.h"

#include <string>

#include "core/reminders/reminder_editing.h"

namespace vorlane {

QString failureSentence(std::exception_ptr error) {
  static const QString unknown = QStringLiteral("That did not work. Try again.");
  try {
    if (error) std::rethrow_exception(error);
  } catch (const std::exception& e) {
    const std::string sentence = ReminderEditing::message(e);
    return sentence.empty() ? unknown : QString::fromStdString(sentence);
  } catch (...) {
  }
  return unknown;
}

}  // namespace vorlane
