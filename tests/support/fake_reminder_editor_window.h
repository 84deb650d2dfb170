#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "ui/windows/reminder_editor/reminder_editor_window.h"

namespace vorlane {

// An editor that only remembers how often and with what it was shown, and keeps the save it
// was handed so that a test can play the user's part.
class FakeReminderEditorWindow final : public ReminderEditorWindow {
 public:
  void show(std::optional<Reminder> shown,
            std::function<Reminder(const std::string&, const std::string&)> action) override {
    ++shows;
    reminder = std::move(shown);
    save = std::move(action);
  }
  int shows = 0;
  std::optional<Reminder> reminder;
  std::function<Reminder(const std::string&, const std::string&)> save;
};

}  // namespace vorlane
