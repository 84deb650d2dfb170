#pragma once

// The program's status menu reached as a tray host reaches it: over the StatusNotifierItem
// and com.canonical.dbusmenu interfaces on the desktop's session bus. A stand-in watcher
// (started before the program, which looks for one only at launch) takes the icon; then a
// test opens the menu, reads it whole and clicks an entry by its label, so that the entry's
// real action runs.

#include <chrono>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/desktop_session.h"

namespace vorlane::testing {

// One entry of a menu layout as GetLayout gives it: its id, label, whether it is enabled, and
// the index of its parent (none for the root).
struct TrayMenuEntry {
  int id = 0;
  std::string label;
  bool enabled = true;
  std::optional<size_t> parent;
  int depth = 0;  // indentation of the entry in dbus-send's printout
};

// The entries of dbus-send's printout of GetLayout, root first, in menu order.
inline std::vector<TrayMenuEntry> parseTrayMenuLayout(const std::string& printout) {
  std::vector<std::string> lines;
  std::istringstream in(printout);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  const auto trimmed = [](const std::string& s) {
    const auto from = s.find_first_not_of(' ');
    return from == std::string::npos ? std::string() : s.substr(from);
  };
  const auto quotedText = [](const std::string& s) -> std::optional<std::string> {
    const auto open = s.find("string \"");
    const auto close = s.rfind('"');
    if (open == std::string::npos || close <= open + 7) return std::nullopt;
    return s.substr(open + 8, close - open - 8);
  };
  std::vector<TrayMenuEntry> entries;
  std::vector<size_t> open;  // the entries whose children may still follow
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    const std::string here = trimmed(lines[i]), next = trimmed(lines[i + 1]);
    const bool opensStruct = here.size() >= 8 && here.compare(here.size() - 8, 8, "struct {") == 0;
    if (opensStruct && next.rfind("int32 ", 0) == 0) {
      TrayMenuEntry entry;
      entry.id = std::stoi(next.substr(6));
      entry.depth = int(lines[i + 1].find_first_not_of(' '));
      while (!open.empty() && entries[open.back()].depth >= entry.depth) open.pop_back();
      if (!open.empty()) entry.parent = open.back();
      open.push_back(entries.size());
      entries.push_back(entry);
    } else if (!entries.empty() && here == "string \"label\"") {
      if (const auto text = quotedText(next)) entries[open.back()].label = *text;
    } else if (!entries.empty() && here == "string \"enabled\"") {
      entries[open.back()].enabled = next.find("boolean false") == std::string::npos;
    }
  }
  return entries;
}

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
    call(menuPath_, "com.canonical.dbusmenu.AboutToShow", "int32:0");
    const auto layout =
        call(menuPath_, "com.canonical.dbusmenu.GetLayout", "int32:0 int32:-1 array:string:");
    lastLayout_ = layout.value_or("");
    return parseTrayMenuLayout(lastLayout_);
  }

  // Clicks the entry reached by `path`: each label names an entry somewhere below the one
  // before it (the first, anywhere in the menu); a label ending in "*" names the first entry
  // that starts with the rest. False when there is no such entry or it is disabled, which
  // the printout of the last read then shows.
  bool choose(const std::vector<std::string>& path) {
    const auto entries = read();
    std::optional<size_t> at;
    for (const std::string& label : path) {
      std::optional<size_t> found;
      for (size_t i = 0; i < entries.size() && !found; ++i) {
        if (matches(entries[i].label, label) && (!at || below(entries, i, *at))) found = i;
      }
      if (!found) return false;
      at = found;
    }
    if (!at || !entries[*at].enabled) return false;
    return call(menuPath_, "com.canonical.dbusmenu.Event",
                "int32:" + std::to_string(entries[*at].id) +
                    " string:clicked variant:int32:0 uint32:0")
        .has_value();
  }

  const std::string& lastLayout() const { return lastLayout_; }

 private:
  static bool matches(const std::string& label, const std::string& wanted) {
    if (!wanted.empty() && wanted.back() == '*') {
      return label.rfind(wanted.substr(0, wanted.size() - 1), 0) == 0;
    }
    return label == wanted;
  }
  static bool below(const std::vector<TrayMenuEntry>& entries, size_t entry, size_t ancestor) {
    for (auto p = entries[entry].parent; p; p = entries[*p].parent) {
      if (*p == ancestor) return true;
    }
    return false;
  }
  std::optional<std::string> call(const std::string& path, const std::string& method,
                                  const std::string& arguments) const {
    return commandOutput(desktop_.withEnvironment(
        "dbus-send --session --print-reply --dest=" + quoted(item_) + " " + quoted(path) + " " +
        method + " " + arguments));
  }

  const DesktopSession& desktop_;
  std::unique_ptr<ChildProcess> watcher_;
  bool ready_ = false;
  std::string item_;
  std::string menuPath_;
  std::string lastLayout_;
};

}  // namespace vorlane::testing
