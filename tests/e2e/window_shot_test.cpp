// Reading where a window lies from the tools' printouts, and telling a drawn picture from a
// blank one: a wrong reading would cut the wrong part of the screen and still pass.
#include "tests/e2e/window_shot.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace vorlane::e2e {
namespace {

struct GeometryRow {
  const char* name;
  const char* printout;
  std::optional<QRect> expected;
};

class WindowGeometry : public ::testing::TestWithParam<GeometryRow> {};

TEST_P(WindowGeometry, IsReadFromTheShellPrintout) {
  EXPECT_EQ(parseWindowGeometry(GetParam().printout), GetParam().expected);
}

// As xwininfo prints them, trimmed to the lines that matter and those that could mislead.
constexpr const char* whole = R"(
xwininfo: Window id: 0x400006 "Vorlane Preferences"

  Absolute upper-left X:  250
  Absolute upper-left Y:  93
  Relative upper-left X:  1
  Relative upper-left Y:  22
  Width: 780
  Height: 660
  Depth: 24
  Border width: 0
  Corners:  +250+93  -250+93  -250-47  +250-47
  -geometry 780x660+249+71
)";

INSTANTIATE_TEST_SUITE_P(
    Printouts, WindowGeometry,
    ::testing::Values(
        GeometryRow{"AbsoluteNotRelative", whole, QRect(250, 93, 780, 660)},
        GeometryRow{"OffTheLeftEdge",
                    "  Absolute upper-left X:  -12\n  Absolute upper-left Y:  0\n"
                    "  Width: 30\n  Height: 40\n",
                    QRect(-12, 0, 30, 40)},
        GeometryRow{"NoHeight",
                    "  Absolute upper-left X:  1\n  Absolute upper-left Y:  2\n  Width: 30\n",
                    std::nullopt},
        GeometryRow{"NoArea",
                    "  Absolute upper-left X:  1\n  Absolute upper-left Y:  2\n"
                    "  Width: 0\n  Height: 40\n",
                    std::nullopt},
        GeometryRow{"NotANumber",
                    "  Absolute upper-left X:  1\n  Absolute upper-left Y:  2\n"
                    "  Width: 3O\n  Height: 40\n",
                    std::nullopt},
        GeometryRow{"NoWindow", "xwininfo: error: No such window with id 0x1.\n", std::nullopt},
        GeometryRow{"Empty", "", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct FrameRow {
  const char* name;
  const char* printout;
  QMargins expected;
};

class FrameExtents : public ::testing::TestWithParam<FrameRow> {};

TEST_P(FrameExtents, AreReadLeftRightTopBottom) {
  EXPECT_EQ(parseFrameExtents(GetParam().printout), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Printouts, FrameExtents,
    ::testing::Values(
        FrameRow{"Openbox", "_NET_FRAME_EXTENTS(CARDINAL) = 1, 2, 22, 4\n", QMargins(1, 22, 2, 4)},
        FrameRow{"Unset", "_NET_FRAME_EXTENTS:  not found.\n", QMargins()},
        FrameRow{"TooFew", "_NET_FRAME_EXTENTS(CARDINAL) = 1, 2, 22\n", QMargins()},
        FrameRow{"Negative", "_NET_FRAME_EXTENTS(CARDINAL) = 1, -2, 22, 4\n", QMargins()},
        FrameRow{"Empty", "", QMargins()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowArea, TakesTheFrameAndStaysOnTheScreen) {
  const QRect screen(0, 0, 1280, 800);
  EXPECT_EQ(windowArea(QRect(250, 70, 780, 660), QMargins(1, 22, 1, 1), screen),
            QRect(249, 48, 782, 683));
  EXPECT_EQ(windowArea(QRect(1200, 780, 200, 100), QMargins(1, 22, 1, 1), screen),
            QRect(1199, 758, 81, 42));
}

TEST(DrawnOn, TellsAWindowWithTextFromABlankOne) {
  QImage blank(200, 100, QImage::Format_RGB32);
  blank.fill(QColor(239, 239, 239));
  EXPECT_FALSE(drawnOn(blank));
  EXPECT_FALSE(drawnOn(QImage()));

  QImage framed = blank;
  QPainter(&framed).drawRect(0, 0, 199, 99);
  EXPECT_FALSE(drawnOn(framed)) << "a frame alone is not a drawn window";

  QImage text = blank;
  {
    QPainter painter(&text);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::darkBlue);
    painter.drawEllipse(20, 20, 60, 60);
    painter.drawLine(100, 10, 190, 90);
  }
  EXPECT_TRUE(drawnOn(text));
  EXPECT_EQ(distinctColours(text, 5), 5) << "counting stops at enough";
}

}  // namespace
}  // namespace vorlane::e2e
