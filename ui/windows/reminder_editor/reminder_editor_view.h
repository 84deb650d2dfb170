#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "core/reminders/reminder.h"
#include "ui/kit/message_line.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_content.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vorlane {

// The reminder editor's content. Without a reminder it adds: one field takes time and message
// together, and after each save the window stays open, naming what was stored, for the next
// one. With a reminder it edits: the field holds the message, a second field an optional new
// schedule, and a successful save closes the window. It parses and stores nothing itself: the
// texts go, as typed, to `save`, whose refusal is shown in red, the typed text kept. Return in
// either field saves; Escape closes.
class ReminderEditorView final : public WindowContent {
 public:
  // Gets the message (with the time, when adding) and the schedule text; returns what was
  // stored, or throws the refusal to show.
  using Save = std::function<Reminder(const std::string&, const std::string&)>;
  // The one-line schedule of a reminder, as of the moment it is asked.
  using Describe = std::function<std::string(const Reminder&)>;

  ReminderEditorView(std::optional<Reminder> reminder, Save save, Describe describe,
                     QWidget* parent = nullptr);

  void submit();

  bool editing() const { return reminder_.has_value(); }
  QLineEdit* field() const { return field_; }
  // Null when adding.
  QLineEdit* scheduleField() const { return schedule_; }
  MessageLine* errorLine() const { return error_; }
  QLabel* confirmationLine() const { return confirmation_; }
  QPushButton* saveButton() const { return save_; }
  QPushButton* closeButton() const { return close_; }

 private:
  QLineEdit* addField(const QString& placeholder, const QString& accessibleName);
  QLabel* addLine(const QString& text, TextRole role);
  void saved(const Reminder& reminder);

  std::optional<Reminder> reminder_;
  Save saveAction_;
  Describe describe_;
  QLineEdit* field_ = nullptr;
  QLineEdit* schedule_ = nullptr;
  MessageLine* error_ = nullptr;
  QLabel* confirmation_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace vorlane
