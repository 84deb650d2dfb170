#pragma once

#include <string>

namespace vorlane {

// A screen as the probe compares it with windows: its identifier and its rectangle in the
// window system's device pixels (origin top left of the virtual desktop, y down).
struct ScreenFrame {
  std::string identifier;
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  // Device pixels per logical point; the full-screen tolerance scales with it.
  double devicePixelRatio = 1.0;

  bool operator==(const ScreenFrame&) const = default;
};

}  // namespace vorlane
