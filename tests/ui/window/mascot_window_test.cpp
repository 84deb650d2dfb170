#include "ui/window/mascot_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>

#include "tests/ui/window/painted_block.h"
#include "ui/window/content_mask.h"

namespace vorlane {
namespace {

using testing::PaintedBlock;

const ScreenInfo display{"DP-1", {0, 0, 1200, 800}, {0, 0, 1200, 800}};

TEST(MascotWindow, IsAFramelessTranslucentToolWindowThatNeverTakesFocus) {
  MascotWindow window(display, MascotPlacement(1, 0));
  const Qt::WindowFlags flags = window.windowFlags();
  for (Qt::WindowType flag : {Qt::Tool, Qt::FramelessWindowHint, Qt::WindowStaysOnTopHint,
                              Qt::WindowDoesNotAcceptFocus}) {
    EXPECT_TRUE(flags.testFlag(flag)) << flag;
  }
  EXPECT_TRUE(window.testAttribute(Qt::WA_TranslucentBackground));
  EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(window.geometry(), QRect(860, 0, 340, 800));
  EXPECT_TRUE(window.liveRects().isEmpty()) << "clicks pass through until told otherwise";
  EXPECT_FALSE(window.isVisible()) << "the owner shows it";
}

TEST(MascotWindow, RepositionsOnlyWhenTheFrameDiffersAndTheContentFollows) {
  MascotWindow window(display, MascotPlacement(1, 0));
  auto* content = new PaintedBlock(QRect(0, 0, 10, 10));
  window.setContentWidget(content);
  EXPECT_FALSE(window.reposition(display, MascotPlacement(1, 0.4)));
  const ScreenInfo smaller{"DP-1", {0, 0, 1000, 600}, {0, 40, 1000, 560}};
  EXPECT_TRUE(window.reposition(smaller, MascotPlacement(0.5, 0)));
  EXPECT_EQ(window.geometry(), QRect(330, 40, 340, 560));
  EXPECT_EQ(content->geometry(), QRect(0, 0, 340, 560));
  EXPECT_EQ(content->parentWidget(), &window);
}

TEST(MascotWindow, ReplacedContentIsDeletedLater) {
  MascotWindow window(display, MascotPlacement(1, 0));
  QPointer<QWidget> first = new PaintedBlock(QRect());
  window.setContentWidget(first);
  window.setContentWidget(new PaintedBlock(QRect()));
  EXPECT_TRUE(first) << "not under its own feet";
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(first);
}

// Offscreen there is no compositor: the shown area follows the content.
TEST(MascotWindow, WithoutACompositorShowsOnlyWhatTheContentPaints) {
  MascotWindow window(display, MascotPlacement(1, 0));
  auto* content = new PaintedBlock(QRect(20, 100, 80, 60));
  window.setContentWidget(content);
  window.show();
  ASSERT_FALSE(window.compositorPresent());
  ASSERT_TRUE(window.contentMask().has_value());
  EXPECT_EQ(*window.contentMask(), QRegion(20, 100, 80, 60));

  content->setBlock(QRect(200, 300, 40, 40));
  window.contentChanged();
  window.contentChanged();  // a burst of changes costs one more refresh, not one each
  EXPECT_TRUE(QTest::qWaitFor([&] { return *window.contentMask() == QRegion(200, 300, 40, 40); },
                              1000));

  // Nothing painted must show nothing, not the whole (black) window.
  content->setBlock(QRect());
  window.refreshContentMask();
  EXPECT_TRUE(window.contentMask().has_value());
  EXPECT_TRUE(window.contentMask()->isEmpty());
}

// Without a compositor a faint pixel would show as a dark speck: only the mostly opaque stay.
TEST(OpaqueRegion, KeepsThePixelsThatAreMostlyOpaque) {
  QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  EXPECT_TRUE(opaqueRegion(image).isEmpty());
  image.setPixelColor(5, 6, QColor(255, 0, 0, 40));
  image.setPixelColor(7, 6, QColor(255, 0, 0, 200));
  image.setPixelColor(30, 20, QColor(0, 0, 0, 255));
  EXPECT_EQ(opaqueRegion(image), QRegion(7, 6, 1, 1) + QRegion(30, 20, 1, 1));
  EXPECT_EQ(opaqueRegion(QImage(8, 4, QImage::Format_RGB32)), QRegion(0, 0, 8, 4))
      << "an image without alpha is all opaque";
}

}  // namespace
}  // namespace vorlane
