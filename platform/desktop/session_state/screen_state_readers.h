#pragma once

#include <xcb/xcb.h>

#include <QDBusConnection>
#include <chrono>
#include <vector>

#include "platform/desktop/environment/environment_sources.h"
#include "platform/desktop/environment/slow_service_memory.h"
#include "platform/desktop/environment/snapshot_budget.h"
#include "platform/desktop/session_state/screen_state_rules.h"

namespace vorlane {

// One source of screen state; fills in the readings it can make and leaves the rest.
class ScreenStateReader {
 public:
  virtual ~ScreenStateReader() = default;
  virtual void read(ScreenStateReadings& readings) = 0;
};

// DPMS and the MIT screen saver of the X server, where the server has those extensions.
class X11ScreenState final : public ScreenStateReader {
 public:
  explicit X11ScreenState(xcb_connection_t* connection);
  void read(ScreenStateReadings& readings) override;

 private:
  xcb_connection_t* connection_;
  xcb_window_t root_ = XCB_WINDOW_NONE;
};

// logind's session state on the system bus and the screen saver on the session bus, over the
// two long-lived connections. Every call waits no longer than what is left of `budget` (and
// never over 250 ms); a missing service is left unread, and one that did not answer in time
// is left unread without a call until `slowServices` lets it be asked again.
class DBusScreenState final : public ScreenStateReader {
 public:
  DBusScreenState(QDBusConnection systemBus, QDBusConnection sessionBus, SnapshotBudget& budget,
                  SlowServiceMemory& slowServices);
  void read(ScreenStateReadings& readings) override;

 private:
  // The reply, or none when the call was not made or timed out.
  std::optional<QDBusMessage> call(QDBusConnection& bus, const QDBusMessage& message);
  void readSession(ScreenStateReadings& readings);
  void readScreenSaver(ScreenStateReadings& readings);

  QDBusConnection systemBus_;
  QDBusConnection sessionBus_;
  SnapshotBudget* budget_;
  SlowServiceMemory* slowServices_;
};

// The screen is unavailable when any reader says so.
class CombinedScreenAvailability final : public ScreenAvailability {
 public:
  explicit CombinedScreenAvailability(std::vector<ScreenStateReader*> readers)
      : readers_(std::move(readers)) {}
  bool isScreenUnavailable() override;

 private:
  std::vector<ScreenStateReader*> readers_;
};

}  // namespace vorlane
