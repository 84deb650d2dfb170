#include "bench/tray_driver_command.h"

namespace vorlane {
namespace {

std::string_view trimmed(std::string_view text) {
  const auto from = text.find_first_not_of(" \t\r\n");
  if (from == std::string_view::npos) return {};
  const auto to = text.find_last_not_of(" \t\r\n");
  return text.substr(from, to - from + 1);
}

std::string joined(const std::vector<std::string>& parts, std::string_view between) {
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += between;
    text += part;
  }
  return text;
}

}  // namespace

std::optional<TrayDriverCommand> parseTrayDriverCommand(std::string_view line) {
  const std::string_view text = trimmed(line);
  if (text == "wait") return TrayDriverCommand{TrayDriverCommand::Verb::wait, {}};
  if (text == "labels") return TrayDriverCommand{TrayDriverCommand::Verb::labels, {}};
  constexpr std::string_view choose = "choose";
  if (!text.starts_with(choose) || text.size() == choose.size() ||
      (text[choose.size()] != ' ' && text[choose.size()] != '\t')) {
    return std::nullopt;
  }
  TrayDriverCommand command{TrayDriverCommand::Verb::choose, {}};
  // Labels hold ">" nowhere in this menu, but "…", "&" and "—" are common.
  // A separator is a ">" with blanks (or the line's end) on both sides.
  std::string_view rest = text.substr(choose.size());
  for (;;) {
    auto separator = rest.find(" >");
    while (separator != std::string_view::npos && separator + 2 < rest.size() &&
           rest[separator + 2] != ' ' && rest[separator + 2] != '\t') {
      separator = rest.find(" >", separator + 1);
    }
    const std::string_view label = trimmed(rest.substr(0, separator));
    if (label.empty()) return std::nullopt;
    command.path.emplace_back(label);
    if (separator == std::string_view::npos) break;
    rest = rest.substr(separator + 2);
  }
  return command;
}

std::string trayChoiceReply(const std::vector<testing::TrayMenuEntry>& entries,
                            const std::vector<std::string>& path) {
  const auto at = testing::findTrayMenuEntry(entries, path);
  if (!at) return "missing " + joined(path, " > ");
  if (!entries[*at].enabled) return "disabled " + joined(path, " > ");
  return "ok " + std::to_string(entries[*at].id);
}

std::string enabledTrayLabels(const std::vector<testing::TrayMenuEntry>& entries) {
  std::vector<std::string> labels;
  for (const auto& entry : entries) {
    if (entry.enabled && !entry.label.empty()) labels.push_back(entry.label);
  }
  return joined(labels, " | ");
}

}  // namespace vorlane
