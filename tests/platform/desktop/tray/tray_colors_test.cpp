#include "platform/desktop/tray/tray_colors.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(TrayColors, TheForegroundIsTheFirstThreeSixteenBitChannels) {
  const struct {
    const char* name;
    std::vector<std::uint32_t> property;
    std::optional<QColor> expected;
  } rows[] = {
      {"white on a dark panel",
       {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0, 0, 0xFFFF, 0x8000, 0, 0, 0xFFFF, 0},
       QColor(255, 255, 255)},
      {"a grey, only the foreground given", {0x3333, 0x3333, 0x3333}, QColor(0x33, 0x33, 0x33)},
      {"too short", {0xFFFF, 0xFFFF}, std::nullopt},
      {"empty", {}, std::nullopt},
      {"a channel beyond 16 bits", {0x10000, 0, 0}, std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto got = trayForegroundColor(row.property);
    ASSERT_EQ(got.has_value(), row.expected.has_value());
    if (got) {
      EXPECT_EQ(got->rgb(), row.expected->rgb());
    }
  }
}

// The panel's colour under an icon: what most of the square shows, the icon's own strokes
// and any alpha byte aside.
TEST(TrayColors, ThePanelIsTheColourMostPixelsShow) {
  const struct {
    const char* name;
    std::vector<std::uint32_t> pixels;
    std::optional<QRgb> expected;
  } rows[] = {
      {"a dark panel under light strokes",
       {0x202020, 0x202020, 0xF2F2F2, 0x202020, 0xF2F2F2, 0x202020},
       0x202020},
      {"the alpha byte is ignored", {0xFF202020, 0x00202020, 0xAAF2F2F2}, 0x202020},
      {"a tie goes to the first seen", {0x101010, 0xEEEEEE}, 0x101010},
      {"nothing read", {}, std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const auto got = dominantColor(row.pixels);
    ASSERT_EQ(got.has_value(), row.expected.has_value());
    if (got) {
      EXPECT_EQ(got->rgb() & 0xFFFFFF, *row.expected);
    }
  }
}

}  // namespace
}  // namespace vorlane
