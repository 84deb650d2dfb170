#pragma once

#include <xcb/xcb.h>

#include <QDBusConnection>
#include <functional>
#include <memory>
#include <string>

#include "foundation/observers.h"
#include "platform/desktop/tray/status_notifier_host_watch.h"
#include "platform/desktop/tray/tray_kinds.h"
#include "platform/desktop/tray/xembed_tray_watch.h"

namespace vorlane {

// Whether a tray is there to show the program's status item: a StatusNotifierItem host on the
// session bus, or an XEmbed tray manager on the X screen. Each is followed as it comes and
// goes; `changes` tells whenever the answer turns, `kindChanges` whenever either comes or goes
// (the status item moves to the kind it prefers of those there), and neither
// `isAvailable` nor `kinds` waits on the bus or the server, so windows may ask as they open
// and the pointer as it moves. Each change of either is logged. Main thread.
class TrayHostWatch final {
 public:
  // `x11` none (Qt not on X): no XEmbed tray is looked for.
  TrayHostWatch(QDBusConnection sessionBus, xcb_connection_t* x11, int screenNumber);
  TrayHostWatch(const TrayHostWatch&) = delete;
  TrayHostWatch& operator=(const TrayHostWatch&) = delete;

  // On the session bus, and on Qt's own connection to the screen $DISPLAY names.
  static std::unique_ptr<TrayHostWatch> forThisDesktop();

  bool isAvailable() const { return kinds().any(); }
  TrayKinds kinds() const;
  Observers<>& changes() { return changes_; }
  Observers<>& kindChanges() { return kindChanges_; }

  // What is there now, as the log says it: "a StatusNotifier host", "an XEmbed tray",
  // both joined by "and", or "none".
  std::string description() const;

  // A function over a shared watch, for whoever takes tray availability as a `bool()`.
  static std::function<bool()> reader(std::shared_ptr<const TrayHostWatch> watch);
  static std::function<TrayKinds()> kindsReader(std::shared_ptr<const TrayHostWatch> watch);

 private:
  void partChanged();

  Observers<> changes_;
  Observers<> kindChanges_;
  TrayKinds kinds_;
  // Made last: either may tell of a change as soon as it exists.
  std::unique_ptr<StatusNotifierHostWatch> statusNotifier_;
  std::unique_ptr<XEmbedTrayWatch> xembed_;
};

}  // namespace vorlane
