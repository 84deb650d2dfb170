#pragma once

#include <xcb/xcb.h>

#include <memory>

#include "platform/desktop/environment/environment_sources.h"

namespace vorlane {

class X11ActiveApplication;
class X11WindowList;

// The real sources of the environment probe, built once and kept for the application's
// lifetime. The one place that decides what this desktop offers: the X sources only when
// Qt runs on X (else those questions answer the harmless side), the D-Bus sources on the
// system and session buses. On a Wayland session it says once in the log that the X
// questions see only XWayland windows. Main thread only.
class SystemEnvironment {
 public:
  SystemEnvironment();
  // With an explicit X connection (null for none), for tests.
  explicit SystemEnvironment(xcb_connection_t* connection);
  ~SystemEnvironment();

  EnvironmentSources sources();
  // What X says of the windows on screen; null when Qt does not run on X.
  X11ActiveApplication* activeWindows();
  X11WindowList* windows();

  // Qt's own X connection; null when Qt does not run on X.
  static xcb_connection_t* qtConnection();

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace vorlane
