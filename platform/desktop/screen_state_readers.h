#pragma once

#include <xcb/xcb.h>

#include <QDBusConnection>
#include <chrono>
#include <vector>

#include "platform/desktop/environment_sources.h"
#include "platform/desktop/screen_state_rules.h"

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

// logind's session state on the system bus and the screen saver on the session bus. Every
// call gives up after `timeout`; a missing or hanging service is left unread.
class DBusScreenState final : public ScreenStateReader {
 public:
  DBusScreenState(QDBusConnection systemBus, QDBusConnection sessionBus,
                  std::chrono::milliseconds timeout = std::chrono::milliseconds(250));
  void read(ScreenStateReadings& readings) override;

 private:
  void readSession(ScreenStateReadings& readings);
  void readScreenSaver(ScreenStateReadings& readings);

  QDBusConnection systemBus_;
  QDBusConnection sessionBus_;
  int timeoutMs_;
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
