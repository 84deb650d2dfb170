#pragma once

// The status menu's layout as dbus-send prints com.canonical.dbusmenu's GetLayout reply, and
// the choice of one of its entries by labels. Standard library only: the end-to-end tests and
// the benchmark's tray driver both read the menu this way.

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

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

// Whether an entry's label is the wanted one; a wanted label ending in "*" asks only that the
// label start with the rest.
inline bool trayLabelMatches(const std::string& label, const std::string& wanted) {
  if (!wanted.empty() && wanted.back() == '*') {
    return label.rfind(wanted.substr(0, wanted.size() - 1), 0) == 0;
  }
  return label == wanted;
}

// The entry reached by `path`: each label names an entry somewhere below the one before it
// (the first, anywhere in the menu). None when a label names nothing there; an entry found is
// returned whether or not it is enabled.
inline std::optional<size_t> findTrayMenuEntry(const std::vector<TrayMenuEntry>& entries,
                                               const std::vector<std::string>& path) {
  const auto below = [&entries](size_t entry, size_t ancestor) {
    for (auto p = entries[entry].parent; p; p = entries[*p].parent) {
      if (*p == ancestor) return true;
    }
    return false;
  };
  std::optional<size_t> at;
  for (const std::string& label : path) {
    std::optional<size_t> found;
    for (size_t i = 0; i < entries.size() && !found; ++i) {
      if (trayLabelMatches(entries[i].label, label) && (!at || below(i, *at))) found = i;
    }
    if (!found) return std::nullopt;
    at = found;
  }
  return at;
}

// Whether a host's user can reach the entry at `at`: it and every submenu above it are enabled,
// as a host opens no disabled submenu.
inline bool trayMenuEntryReachable(const std::vector<TrayMenuEntry>& entries, size_t at) {
  for (std::optional<size_t> entry = at; entry; entry = entries[*entry].parent) {
    if (!entries[*entry].enabled) return false;
  }
  return true;
}

// The menu as a host shows it once it has opened it and then the submenus `path` goes through,
// one after the other: `aboutToShow` tells the program that the menu (0) or the submenu with
// this id opens, and may make its entries only then; `layout` reads the whole layout. The
// entries of the last read; the submenus stop at the first label that names nothing, or names
// a disabled entry, which a host's menu does not open.
inline std::vector<TrayMenuEntry> openTrayMenuPath(
    const std::vector<std::string>& path, const std::function<void(int id)>& aboutToShow,
    const std::function<std::vector<TrayMenuEntry>()>& layout) {
  aboutToShow(0);
  std::vector<TrayMenuEntry> entries = layout();
  for (size_t depth = 1; depth < path.size(); ++depth) {
    const auto at = findTrayMenuEntry(
        entries, std::vector<std::string>(path.begin(), path.begin() + std::ptrdiff_t(depth)));
    if (!at || !trayMenuEntryReachable(entries, *at)) break;
    aboutToShow(entries[*at].id);
    entries = layout();
  }
  return entries;
}

}  // namespace vorlane::testing
