#include "ui/tray/tray_ink.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vorlane
