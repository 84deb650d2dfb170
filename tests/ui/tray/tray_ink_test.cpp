#include "ui/tray/tray_ink.h"

#include <gtest/gtest.h>

#include <QPainter>
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
    std::vector<QRegion> windows;
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

// A translucent window's pixels over an area of its own: transparent but for `drawn` (in
// the window's pixels), at `ratio` device pixels to one.
QImage windowPixels(const QRect& area, const std::vector<QRect>& drawn, qreal ratio = 1.0,
                    int alpha = 255) {
  QImage image(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  for (const QRect& r : drawn)
    painter.fillRect(r.translated(-area.topLeft()), QColor(90, 60, 30, alpha));
  return image;
}

// Regression: the mascot's column, as tall as the screen and drawn only where the monkey is,
// counted as hiding a tray icon at the top right, whose ink then stayed black on a dark panel.
// A window of ours covers the icon only where it shows: its bounding shape without a
// compositor, its pixels that are not transparent with one.
TEST(TrayInk, AWindowOfOursCoversTheIconOnlyWhereItIsDrawn) {
  const QRect icon(1256, 0, 24, 24);
  const QRect column(940, 0, 340, 800);
  // The monkey and its rope, in the column's own pixels.
  const std::vector<QRect> monkey{QRect(258, 0, 4, 50), QRect(240, 50, 40, 60)};
  const QRegion monkeyShape = QRegion(monkey[0]) + QRegion(monkey[1]);
  const struct {
    const char* name;
    QRect window;
    std::optional<QRegion> shape;
    std::vector<QRect> drawn;  // none: an opaque window
    qreal ratio;
    int alpha;
    QRegion expected;
  } rows[] = {
      {"an opaque menu over the icon's corner",
       QRect(1268, 12, 200, 300),
       std::nullopt,
       {},
       1.0,
       255,
       QRect(1268, 12, 12, 12)},
      {"an opaque window beside the icon",
       QRect(1000, 0, 256, 24),
       std::nullopt,
       {},
       1.0,
       255,
       QRegion()},
      {"the column shaped to the monkey, away from the icon",
       column,
       monkeyShape,
       {},
       1.0,
       255,
       QRegion()},
      {"the column shaped to the monkey, pulled over the icon",
       column,
       monkeyShape.translated(60, 0),
       {},
       1.0,
       255,
       QRect(1258, 0, 4, 24)},
      {"the column blended, empty over the icon", column, std::nullopt, monkey, 1.0, 255,
       QRegion()},
      {"the column blended, its rope over the icon",
       column,
       std::nullopt,
       {QRect(320, 0, 4, 50)},
       1.0,
       255,
       QRect(1260, 0, 4, 24)},
      {"the column blended, a faint edge over the icon",
       column,
       std::nullopt,
       {QRect(330, 10, 1, 1)},
       1.0,
       8,
       QRect(1270, 10, 1, 1)},
      {"the column blended at twice the pixels, its rope over the icon",
       column,
       std::nullopt,
       {QRect(320, 0, 4, 50)},
       2.0,
       255,
       QRect(1260, 0, 4, 24)},
      {"shaped and blended: the shape cuts what is drawn",
       column,
       QRegion(0, 0, 320, 800),
       {QRect(322, 0, 8, 50)},
       1.0,
       255,
       QRegion()},
  };
  for (const auto& row : rows) {
    std::function<QImage(const QRect&)> pixels;
    if (!row.drawn.empty()) {
      pixels = [&](const QRect& area) {
        EXPECT_TRUE(QRect(QPoint(), row.window.size()).contains(area)) << row.name;
        return windowPixels(area, row.drawn, row.ratio, row.alpha);
      };
    }
    const QRegion shown = shownOver(icon, row.window, row.shape, pixels);
    EXPECT_EQ(shown, row.expected) << row.name;
    EXPECT_EQ(panelHidden(icon, {shown}), !row.expected.isEmpty()) << row.name;
  }
  // Pixels that cannot be read count as drawn: the panel may be hidden there.
  EXPECT_EQ(shownOver(icon, column, std::nullopt, [](const QRect&) { return QImage(); }),
            QRegion(icon));
}

}  // namespace
}  // namespace vorlane
