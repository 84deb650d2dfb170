#pragma once

#include <functional>
#include <optional>
#include <string>

#include "coordination/windows/window_kind.h"
#include "core/reminders/reminder.h"

namespace vorlane {

// The reminder editor the status item opens. Made on first use, the same window brought
// forward afterwards; a save that throws has its error's text shown in the window.
class ReminderEditorWindow {
 public:
  static constexpr WindowKind kind = WindowKind::reminderEditor;
  virtual ~ReminderEditorWindow() = default;
  // No reminder opens the add form. `save` gets the phrase and schedule texts.
  virtual void show(std::optional<Reminder> reminder,
                    std::function<Reminder(const std::string&, const std::string&)> save) = 0;
};

}  // namespace vorlane
