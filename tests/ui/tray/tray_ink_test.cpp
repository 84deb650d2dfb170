#include "ui/tray/tray_ink.h"

#include <gtest/gtest.h>

#include <string_view>

namespace vorlane {
namespace {

// Regression: the icon took the application's text colour, black on most dark panels.
TEST(TrayInk, TheTraysColoursBeforeThePanelsBeforeThePalette) {
  const QColor palette(Qt::black);
  const struct {
    const char* name;
    std::optional<QColor> foreground;
    std::optional<QColor> background;
    QRgb expected;
  } rows[] = {
      {"the tray names its foreground", QColor(0x11, 0x22, 0x33), QColor(Qt::white), 0xFF112233},
      {"a dark panel", std::nullopt, QColor(0x20, 0x20, 0x20), lightTrayInk},
      {"a black panel", std::nullopt, QColor(Qt::black), lightTrayInk},
      {"a saturated blue panel", std::nullopt, QColor(0x20, 0x40, 0xC0), lightTrayInk},
      {"a light panel", std::nullopt, QColor(0xEE, 0xEE, 0xEE), darkTrayInk},
      {"a yellow panel", std::nullopt, QColor(0xF0, 0xE0, 0x40), darkTrayInk},
      {"nothing known", std::nullopt, std::nullopt, 0xFF000000},
      {"an invalid foreground", QColor(), QColor(0x20, 0x20, 0x20), lightTrayInk},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(trayInk(row.foreground, row.background, palette).rgba(), row.expected) << row.name;
  }
}

// Regression: a menu of ours open over the icon was read as the panel, and a light panel's
// dark ink stayed on a dark one. The panel is read only where none of our windows is shown.
TEST(TrayInk, ThePanelIsHiddenUnderAnyOfOurWindowsOverTheIcon) {
  const QRect icon(100, 0, 24, 24);
  const struct {
    const char* name;
    std::vector<QRect> windows;
    bool hidden;
  } rows[] = {
      {"no window", {}, false},
      {"a menu opened at the pointer on the icon", {QRect(110, 12, 200, 300)}, true},
      {"a window beside the icon", {QRect(124, 0, 50, 24)}, false},
      {"a window below the panel", {QRect(0, 24, 800, 600)}, false},
      {"one of two windows over a corner", {QRect(0, 40, 10, 10), QRect(123, 23, 5, 5)}, true},
      {"the icon has no place", {QRect(0, 0, 800, 600)}, false},
  };
  for (const auto& row : rows) {
    const QRect area = std::string_view(row.name) == "the icon has no place" ? QRect() : icon;
    EXPECT_EQ(panelHidden(area, row.windows), row.hidden) << row.name;
  }
}

}  // namespace
}  // namespace vorlane
