#pragma once

#include <string>

#include "ui/tray/status_snapshot.h"

namespace vorlane {

// The status item's button: the countdown text, or a symbol that tells the mascot's state.
struct StatusButtonModel {
  // The symbol the state calls for ("checkmark.circle.fill", "pause.circle", "timer",
  // "figure.climbing.circle", "figure.climbing"), chosen also while a title shows.
  std::string symbol;
  // The countdown ("Focus 24:59"), or empty.
  std::string title;
  // True when the title leaves no room for the symbol.
  bool showsTitle = false;
  // "Vorlane - " and what the mascot does next.
  std::string toolTip;
  // "Vorlane", or "Vorlane, " and the title.
  std::string accessibleLabel;

  bool operator==(const StatusButtonModel&) const = default;
};

StatusButtonModel statusButton(const StatusSnapshot& snapshot);

}  // namespace vorlane
