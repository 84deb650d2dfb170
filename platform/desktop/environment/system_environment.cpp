#include "platform/desktop/environment/system_environment.h"

#include <unistd.h>

#include <QDBusConnection>
#include <QGuiApplication>

#include "platform/desktop/capture/proc_camera_usage.h"
#include "platform/desktop/capture/system_microphone_usage.h"
#include "platform/desktop/screens/qt_screen_geometry.h"
#include "platform/desktop/session_state/screen_state_readers.h"
#include "platform/desktop/session_state/wayland_session.h"
#include "platform/desktop/windows/x11_active_application.h"
#include "platform/desktop/windows/x11_window_list.h"
#include "platform/logging/log.h"

namespace vorlane {

namespace {

// Answers "none" for a desktop without X.
class NoActiveApplication final : public ActiveApplication {
 public:
  std::optional<std::string> activeAppID() override { return std::nullopt; }
};

}  // namespace

struct SystemEnvironment::Parts {
  explicit Parts(xcb_connection_t* connection)
      : ownPid(long(getpid())),
        camera("/proc", ownPid),
        microphone(PulseCaptureQuery(std::nullopt, std::chrono::milliseconds(250), ownPid),
                   "/proc/asound", &budget),
        dbusState(QDBusConnection::systemBus(), QDBusConnection::sessionBus(), budget,
                  slowServices) {
    std::vector<ScreenStateReader*> readers;
    if (connection != nullptr && !xcb_connection_has_error(connection)) {
      x11Active = std::make_unique<X11ActiveApplication>(connection, ownPid);
      x11Windows = std::make_unique<X11WindowList>(connection);
      x11State = std::make_unique<X11ScreenState>(connection);
      readers.push_back(x11State.get());
    }
    readers.push_back(&dbusState);
    screens = std::make_unique<QtScreenGeometry>(x11Active.get(), x11Windows.get(), ownPid);
    availability = std::make_unique<CombinedScreenAvailability>(std::move(readers));
  }

  long ownPid;
  // Declared before the sources that hold them.
  SnapshotBudget budget;
  SlowServiceMemory slowServices;
  ProcCameraUsage camera;
  SystemMicrophoneUsage microphone;
  NoActiveApplication noActive;
  std::unique_ptr<X11ActiveApplication> x11Active;
  std::unique_ptr<X11WindowList> x11Windows;
  std::unique_ptr<X11ScreenState> x11State;
  DBusScreenState dbusState;
  std::unique_ptr<QtScreenGeometry> screens;
  std::unique_ptr<CombinedScreenAvailability> availability;
};

SystemEnvironment::SystemEnvironment() : SystemEnvironment(qtConnection()) {}

SystemEnvironment::SystemEnvironment(xcb_connection_t* connection)
    : parts_(std::make_unique<Parts>(connection)) {
  // Built once at start; on Wayland, X shows only the windows of other X clients.
  if (isWaylandSession()) {
    Log::suppression().info(
        "Wayland session: the active app and full-screen checks see only XWayland windows");
  }
}

SystemEnvironment::~SystemEnvironment() = default;

EnvironmentSources SystemEnvironment::sources() {
  ActiveApplication& active =
      parts_->x11Active ? static_cast<ActiveApplication&>(*parts_->x11Active) : parts_->noActive;
  return EnvironmentSources{parts_->camera,   parts_->microphone,    active,
                            *parts_->screens, *parts_->availability, &parts_->budget};
}

X11ActiveApplication* SystemEnvironment::activeWindows() { return parts_->x11Active.get(); }

X11WindowList* SystemEnvironment::windows() { return parts_->x11Windows.get(); }

xcb_connection_t* SystemEnvironment::qtConnection() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (app == nullptr) return nullptr;
  auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace vorlane
