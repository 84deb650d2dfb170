#pragma once

#include <string>
#include <vector>

#include "ui/tray/status_command.h"
#include "ui/tray/status_snapshot.h"

namespace vorlane {

// One entry of the status menu, as the menu shows it: titles as written (an `&` is a plain
// character here), shortcuts in Qt's portable text ("Ctrl+P").
struct StatusMenuEntry {
  enum class Kind { item, separator, submenu };

  Kind kind = Kind::item;
  std::string title;
  std::string shortcut;
  bool enabled = false;
  bool checkable = false;
  bool checked = false;
  std::string toolTip;
  StatusCommand command = StatusCommand::none;
  StatusData data;
  std::vector<StatusMenuEntry> children;

  bool operator==(const StatusMenuEntry&) const = default;
};

// The whole menu, rebuilt from scratch each time it opens. An entry without a command is
// disabled, and so is one whose window or hook does not exist.
std::vector<StatusMenuEntry> statusMenu(const StatusSnapshot& snapshot);

// "Focus: " and the goal; a goal of 56 characters or more shows its first 52 and "...".
std::string goalLine(const std::string& goal);

}  // namespace vorlane
