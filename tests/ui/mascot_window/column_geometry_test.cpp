#include "ui/mascot_window/column_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ui/mascot_window/mascot_window.h"

namespace vorlane {
namespace {

ScreenInfo screen(QRect available, QRect geometry = {}) {
  return ScreenInfo{"DP-1", geometry.isNull() ? available : geometry, available};
}

TEST(ColumnFrame, SpansTheAvailableHeightAndSitsAlongTheWidthByTheHorizontalFraction) {
  struct Row {
    QRect available;
    double horizontal;
    QRect expected;
  };
  const Row rows[] = {
      {{0, 0, 1200, 800}, 1.0, {860, 0, 340, 800}},
      {{0, 0, 1200, 800}, 0.5, {430, 0, 340, 800}},
      {{0, 0, 1200, 800}, 0.0, {0, 0, 340, 800}},
      {{1920, 30, 1200, 770}, 1.0, {2780, 30, 340, 770}},  // second display, top panel
      {{100, 0, 300, 800}, 1.0, {100, 0, 300, 800}},       // narrower than the column
      {{100, 0, 300, 800}, 0.3, {100, 0, 300, 800}},
      {{0, 0, 1200, 0}, 1.0, {860, 0, 340, 1}},  // no height at all
      {{0, 0, 0, 0}, 1.0, {0, 0, 1, 1}},
      {{0, 0, 1201, 800}, 0.5, {431, 0, 340, 800}},  // 430.5 rounds once
  };
  for (const Row& row : rows) {
    EXPECT_EQ(columnFrame(row.available, MascotPlacement(row.horizontal, 0)), row.expected)
        << row.available.x() << "," << row.available.width() << " h " << row.horizontal;
  }
  EXPECT_EQ(MascotWindow::frame(screen({0, 0, 1200, 800}), MascotPlacement(1, 0.7)),
            QRect(860, 0, 340, 800))
      << "the vertical fraction moves the character, not the window";
}

TEST(ColumnHeadroom, OnlyADisplayWithoutATopPanelGetsHeadroom) {
  EXPECT_EQ(autoHiddenMenuBarInset(screen({0, 25, 1200, 775}, {0, 0, 1200, 800})), 0);
  EXPECT_EQ(autoHiddenMenuBarInset(screen({0, 0, 1200, 760}, {0, 0, 1200, 800})),
            statusBarThickness)
      << "a bottom panel only";
  EXPECT_EQ(autoHiddenMenuBarInset(screen({1920, 0, 800, 600})), statusBarThickness);
}

TEST(CharacterTopInset, MovesTheCanvasDownTheFreeHeightByTheVerticalFraction) {
  struct Row {
    int height;
    double vertical;
    double expected;
  };
  const QRect top(0, 0, 1200, 1000);  // a top panel: no headroom
  const Row rows[] = {
      {900, 0.5, 220}, {900, 1.0, 440}, {900, 0.0, 0}, {400, 0.0, 0}, {400, 1.0, 0}, {460, 1, 0},
  };
  for (const Row& row : rows) {
    const ScreenInfo s = screen({0, 100, 1200, row.height}, top);
    EXPECT_EQ(characterTopInset(s, MascotPlacement(0, row.vertical)), row.expected)
        << row.height << " v " << row.vertical;
  }
  const ScreenInfo noPanel = screen({0, 0, 1200, 900});
  EXPECT_EQ(characterTopInset(noPanel, MascotPlacement(0, 1)), 24 + (900 - 24 - 460));
  EXPECT_EQ(characterTopInset(noPanel, MascotPlacement(0, 0)), 24);
}

}  // namespace
}  // namespace vorlane
