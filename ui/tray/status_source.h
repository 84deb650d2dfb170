#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "coordination/status/coordinator_status.h"
#include "core/reminders/reminder.h"
#include "foundation/uuid.h"
#include "ui/tray/status_command.h"
#include "ui/tray/status_snapshot.h"

namespace vorlane {

// What the status item reads from the running application and asks of it, apart from the
// mascot and the shell's windows (StatusItemHooks) and its own reminder editor. In the
// program an adapter over the coordinator (app/coordinator_status_source.h). Main thread only.
class StatusSource {
 public:
  virtual ~StatusSource() = default;

  // The coordinator's state at this moment, with the application's windows that can be
  // opened now; the item adds what it knows itself (the tray, the mascot, its own and the
  // shell's windows). Read for the icon, it holds no reminder row; for the menu, the rows of
  // one page from the `firstReminder`th stored reminder on.
  virtual CoordinatorStatus snapshot(StatusReading reading, std::size_t firstReminder) const = 0;
  // Runs one of the menu's commands for the application; data of the wrong kind, and a
  // command that is not the application's, do nothing. A change that could not be saved
  // throws the sentence to show; then nothing changed.
  virtual void run(StatusCommand command, const StatusData& data) = 0;

  // What the reminder editor opened from the menu reads and saves. A save throws the sentence
  // to show when it is refused; then nothing was stored.
  virtual std::optional<Reminder> storedReminder(const UUID& id) const = 0;
  virtual Reminder addReminder(const std::string& text) = 0;
  virtual Reminder updateReminder(const UUID& id, const std::string& phrase,
                                  const std::string& schedule) = 0;
};

}  // namespace vorlane
