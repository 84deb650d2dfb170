#pragma once

// One line the tray driver reads on its input: a verb and, for "choose", the path of labels
// that leads to a menu entry ("Plan & reflect > Focus history…").

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/tray_menu_layout.h"

namespace vorlane {

struct TrayDriverCommand {
  enum class Verb { wait, choose, labels };
  Verb verb = Verb::wait;
  std::vector<std::string> path;  // choose only
};

// "wait", "labels" or "choose <label> [> <label>...]"; blanks around each label go. None for
// any other line, or a choose whose path is empty or has an empty label.
std::optional<TrayDriverCommand> parseTrayDriverCommand(std::string_view line);

// The reply to a choose over the menu's entries: "ok <id>" with the id of the entry to click,
// "missing <path>" or "disabled <path>" (the path as the command gave it, " > " between labels).
std::string trayChoiceReply(const std::vector<testing::TrayMenuEntry>& entries,
                            const std::vector<std::string>& path);

// The enabled entries' labels, " | " between them, for a reply that says what the menu held.
std::string enabledTrayLabels(const std::vector<testing::TrayMenuEntry>& entries);

}  // namespace vorlane
