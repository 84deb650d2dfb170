#include "ui/kit/symbol_image.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QWidget>

#include "tests/support/image_pixels.h"

namespace vorlane {
namespace {

// Every symbol a window, the tray or the mascot names.
// clang-format off
constexpr const char* allSymbols[] = {
    "arrow.clockwise", "arrow.turn.down.right", "bolt.circle", "bookmark", "calendar.badge.clock",
    "checkmark", "checkmark.circle", "checkmark.circle.fill", "checkmark.shield", "circle",
    "clock", "cup.and.saucer", "desktopcomputer", "ellipsis", "figure.climbing",
    "figure.climbing.circle", "forward.end", "gearshape", "goforward.5", "moon", "moon.fill",
    "paintpalette", "pause.circle", "pause.fill", "play.fill", "sun.max", "timer", "video.slash",
    "waveform", "xmark",
};
// clang-format on

TEST(SymbolImage, EverySymbolIsDrawnInTheAskedColourAtTheAskedRatio) {
  const QColor red(200, 30, 40);
  for (const char* name : allSymbols) {
    SCOPED_TRACE(name);
    const QImage image = symbolImage(QString::fromLatin1(name), 24, red, 2.0).toImage();
    ASSERT_EQ(image.size(), QSize(48, 48));
    const auto solid = [](const QColor& pixel) { return pixel.alpha() == 255; };
    const int inked = pixelsWhere(image, solid);
    EXPECT_EQ(
        pixelsWhere(image,
                    [&](const QColor& pixel) { return solid(pixel) && pixel.rgb() != red.rgb(); }),
        0)
        << "solid pixels in another colour";
    // Enough solid ink to read at this size, and not a filled square.
    EXPECT_GT(inked, 20);
    EXPECT_LT(inked, 48 * 48 * 3 / 4);
  }
}

TEST(SymbolImage, AnUnknownNameGivesNoPicture) {
  EXPECT_TRUE(symbolImage(QStringLiteral("no.such.symbol"), 24, Qt::black, 1.0).isNull());
  EXPECT_TRUE(symbolImage(QString(), 24, Qt::black, 1.0).isNull());
}

TEST(SymbolIcon, OffersTheSymbolSharpAtBothRatiosAndNothingForAnUnknownName) {
  const QIcon icon = symbolIcon(QStringLiteral("gearshape"), 16, Qt::black);
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
  EXPECT_TRUE(symbolIcon(QStringLiteral("no.such.symbol"), 16, Qt::black).isNull());
}

TEST(SymbolLabel, ShowsTheSymbolAndKeepsItsName) {
  QWidget parent;
  QLabel* label = symbolLabel(QStringLiteral("gearshape"), 16, Qt::black, &parent);
  EXPECT_EQ(label->parentWidget(), &parent);
  EXPECT_EQ(label->property("symbol").toString(), "gearshape");
  ASSERT_FALSE(label->pixmap().isNull());
  EXPECT_EQ(label->pixmap().deviceIndependentSize(), QSizeF(16, 16));
}

}  // namespace
}  // namespace vorlane
