#pragma once

// The program's status menu reached as a tray host reaches it: over the StatusNotifierItem
// and com.canonical.dbusmenu interfaces on the desktop's session bus. A stand-in watcher
// (started before the program, which looks for one only at launch) takes the icon; then a
// test opens the menu, reads it whole and clicks an entry by its label, so that the entry's
// real action runs.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/desktop_session.h"
#include "tests/support/tray_menu_layout.h"

namespace vorlane::testing {

class TrayMenu {
 public:
  TrayMenu(const DesktopSession& desktop, const std::string& watcherProgram)
      : desktop_(desktop),
        watcher_(std::make_unique<ChildProcess>(std::vector<std::string>{watcherProgram}, true,
                                                desktop.environment())) {
    ready_ = watcher_->readLine(std::chrono::seconds(20)) == "ready";
  }

  // The watcher owns its name; start the program after this.
  bool ready() const { return ready_; }

  // Waits for the program's icon to register and finds its menu.
  bool waitForItem(std::chrono::milliseconds limit) {
    const auto line = watcher_->readLine(limit);
    if (!line || line->rfind("item ", 0) != 0) return false;
    item_ = line->substr(5);
    const auto reply = call("/StatusNotifierItem", "org.freedesktop.DBus.Properties.Get",
                            "string:org.kde.StatusNotifierItem string:Menu");
    const auto at = reply ? reply->find("object path \"") : std::string::npos;
    if (at == std::string::npos) return false;
    menuPath_ = reply->substr(at + 13, reply->find('"', at + 13) - (at + 13));
    return !menuPath_.empty();
  }

  // Opens the menu as a host does before showing it, then reads it whole.
  std::vector<TrayMenuEntry> read() {
    aboutToShow(0);
    return layout();
  }

  // Opens the submenus `path` goes through, as `choose` does, and then the one it reaches, as
  // a host does as the user goes down them; the whole menu as it then stands. As in a host's
  // menu, a disabled entry opens nothing, and nothing past it opens either.
  std::vector<TrayMenuEntry> open(const std::vector<std::string>& path) {
    const auto entries = openTrayMenuPath(
        path, [this](int id) { aboutToShow(id); }, [this] { return layout(); });
    const auto at = findTrayMenuEntry(entries, path);
    if (!at || !trayMenuEntryReachable(entries, *at)) return entries;
    aboutToShow(entries[*at].id);
    return layout();
  }

  // Clicks the entry reached by `path`, opening the submenus on the way as a host does: each
  // label names an entry somewhere below the one before it (the first, anywhere in the menu);
  // a label ending in "*" names the first entry that starts with the rest. False when there
  // is no such entry, or it or a submenu on the way is disabled, which the printout of the
  // last read then shows.
  bool choose(const std::vector<std::string>& path) {
    const auto entries = openTrayMenuPath(
        path, [this](int id) { aboutToShow(id); }, [this] { return layout(); });
    const auto at = findTrayMenuEntry(entries, path);
    if (!at || !trayMenuEntryReachable(entries, *at)) return false;
    return call(menuPath_, "com.canonical.dbusmenu.Event",
                "int32:" + std::to_string(entries[*at].id) +
                    " string:clicked variant:int32:0 uint32:0")
        .has_value();
  }

  const std::string& lastLayout() const { return lastLayout_; }

  // Ends the watcher, as a desktop's panel holding the host would: the host goes, and the
  // items it held with it.
  void stopWatcher() { watcher_.reset(); }

  // Whether the menu still answers for the entry with this id (an entry of an earlier
  // opening that it should have let go of, or one of the current menu).
  bool answersFor(int id) const {
    const auto reply = call(menuPath_, "com.canonical.dbusmenu.GetGroupProperties",
                            "array:int32:" + std::to_string(id) + " array:string:");
    return reply && reply->find("struct {") != std::string::npos;
  }

 private:
  // The menu (0) or one of its submenus opens.
  void aboutToShow(int id) {
    call(menuPath_, "com.canonical.dbusmenu.AboutToShow", "int32:" + std::to_string(id));
  }
  std::vector<TrayMenuEntry> layout() {
    const auto printout =
        call(menuPath_, "com.canonical.dbusmenu.GetLayout", "int32:0 int32:-1 array:string:");
    lastLayout_ = printout.value_or("");
    return parseTrayMenuLayout(lastLayout_);
  }

  // A menu with a page of reminders open prints past 64 KB: dbus-send, its reply not read to
  // the end, would fail.
  std::optional<std::string> call(const std::string& path, const std::string& method,
                                  const std::string& arguments) const {
    return commandOutput(
        desktop_.withEnvironment("dbus-send --session --print-reply --dest=" + quoted(item_) + " " +
                                 quoted(path) + " " + method + " " + arguments),
        std::size_t{16} << 20);
  }

  const DesktopSession& desktop_;
  std::unique_ptr<ChildProcess> watcher_;
  bool ready_ = false;
  std::string item_;
  std::string menuPath_;
  std::string lastLayout_;
};

}  // namespace vorlane::testing
