#include "ui/mascot_window/mascot_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <memory>
#include <vector>

#include "tests/ui/mascot_window/painted_block.h"
#include "ui/mascot_window/content_mask.h"

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

// The same area, however QRegion splits it into rectangles.
bool sameArea(const QRegion& a, const QRegion& b) { return a.xored(b).isEmpty(); }

// Offscreen there is no compositor, and the backing store has no alpha to read a painted
// frame from (the window on X reads each painted frame): the shown area follows every change
// the content reports, at once.
TEST(MascotWindow, WithoutACompositorShowsOnlyWhatTheContentPaints) {
  MascotWindow window(display, MascotPlacement(1, 0));
  auto* content = new PaintedBlock(QRect(20, 100, 80, 60));
  window.setContentWidget(content);
  window.show();
  ASSERT_FALSE(window.compositorPresent());
  ASSERT_TRUE(window.contentMask().has_value());
  EXPECT_EQ(*window.contentMask(), QRegion(20, 100, 80, 60));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  // A climb, one change a frame: none is skipped or left for later (the old area showed,
  // black without a compositor, until a later refresh). Nothing painted shows nothing, not
  // the whole (black) window.
  const QRect steps[] = {{20, 104, 80, 60}, {20, 108, 80, 60},  {200, 300, 40, 40},
                         {0, 0, 340, 800},  {330, 790, 10, 10}, {}};
  for (const QRect& step : steps) {
    content->setBlock(step);
    window.contentChanged();
    ASSERT_TRUE(window.contentMask().has_value());
    EXPECT_TRUE(sameArea(*window.contentMask(), QRegion(step))) << step.x() << "," << step.y();
    QCoreApplication::processEvents();  // painted: the area stays the frame's
    EXPECT_TRUE(sameArea(*window.contentMask(), QRegion(step))) << step.x() << "," << step.y();
  }
}

// Shows nothing; keeps what the window gave it, as the frame was when it was given.
class RecordingPresenter final : public FramePresenter {
 public:
  struct Shown {
    QRegion area;
    QColor probed;
  };
  RecordingPresenter(std::vector<Shown>& shown, QPoint probe) : shown_(shown), probe_(probe) {}
  bool present(const QImage& frame, const QRegion& area) override {
    shown_.push_back({area, frame.pixelColor(probe_)});
    return true;
  }

 private:
  std::vector<Shown>& shown_;
  QPoint probe_;
};

TEST(MascotWindow, ShowsReportedChangesItselfOnlyWhileShownAndPaintedFirst) {
  std::vector<RecordingPresenter::Shown> shown;
  const QRect moved(40, 300, 50, 50);
  MascotWindow window(display, MascotPlacement(1, 0), [&](MascotWindow&) {
    return std::make_unique<RecordingPresenter>(shown, moved.center());
  });
  auto* content = new PaintedBlock(QRect(20, 100, 80, 60));
  window.setContentWidget(content);
  std::vector<bool> presenting;
  window.setFramePresentationListener([&](bool presents) { presenting.push_back(presents); });
  EXPECT_EQ(presenting, std::vector<bool>{false}) << "told the state at once";
  window.contentAreaChanged(QRegion(0, 0, 10, 10));
  EXPECT_TRUE(shown.empty()) << "hidden: left to Qt";

  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QCoreApplication::processEvents();
  EXPECT_EQ(presenting, (std::vector<bool>{false, true}));
  ASSERT_TRUE(window.presentsFrames());

  content->setBlockQuietly(moved);
  const QRegion changed = QRegion(20, 100, 80, 60) + moved;
  window.contentAreaChanged(changed);
  ASSERT_EQ(shown.size(), 1u) << "shown before the call returns";
  EXPECT_TRUE(sameArea(shown[0].area, changed));
  EXPECT_EQ(shown[0].probed, QColor(30, 90, 220)) << "painted before it is shown";
  window.contentAreaChanged(QRegion(330, 790, 40, 40));
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_TRUE(sameArea(shown[1].area, QRegion(330, 790, 10, 10))) << "only inside the window";

  window.hide();
  EXPECT_EQ(presenting.back(), false);
  EXPECT_FALSE(window.presentsFrames());
  window.contentAreaChanged(changed);
  EXPECT_EQ(shown.size(), 2u);
}

// The reference: every pixel at least half opaque, one by one.
QRegion opaquePixels(const QImage& image, QRect area) {
  QRegion region;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixelColor(x, y).alpha() >= 128) region += QRect(x, y, 1, 1);
    }
  }
  return region;
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

// Rounded, soft-edged shapes make rows of many runs, bands that repeat and bands that do not.
TEST(OpaqueRegion, MatchesThePixelsInEveryAreaAndFormat) {
  QImage drawn(90, 70, QImage::Format_ARGB32_Premultiplied);
  drawn.fill(Qt::transparent);
  {
    QPainter painter(&drawn);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(200, 120, 40));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(5.5, 3.2, 50, 40));
    painter.fillRect(QRect(60, 10, 4, 50), QColor(0, 0, 0, 180));
    painter.fillRect(QRect(70, 10, 4, 50), Qt::black);
    painter.setBrush(QColor(20, 20, 20, 140));
    painter.drawEllipse(QRectF(30, 35, 40, 30));
  }
  struct Row {
    QImage::Format format;
    QRect area;
  };
  const Row rows[] = {
      {QImage::Format_ARGB32_Premultiplied, drawn.rect()},
      {QImage::Format_ARGB32_Premultiplied, QRect(20, 15, 45, 30)},
      {QImage::Format_ARGB32_Premultiplied, QRect(-10, 50, 200, 200)},  // past the edges
      {QImage::Format_ARGB32, QRect(25, 0, 50, 70)},
      {QImage::Format_RGBA8888_Premultiplied, QRect(3, 20, 80, 9)},
  };
  for (const Row& row : rows) {
    const QImage image = drawn.convertToFormat(row.format);
    const QRect area = row.area & image.rect();
    EXPECT_TRUE(sameArea(opaqueRegion(image, row.area), opaquePixels(image, area)))
        << row.format << " " << area.x() << "," << area.y();
  }
  EXPECT_TRUE(sameArea(opaqueRegion(drawn), opaquePixels(drawn, drawn.rect())));

  // A frame that repainted part of the image keeps what was shown elsewhere.
  const QRegion before(0, 0, 90, 5);
  const QRect repainted(0, 0, 40, 40);
  EXPECT_TRUE(sameArea(repaintedOpaqueRegion(before, drawn, repainted),
                       before.subtracted(repainted) + opaquePixels(drawn, repainted)));
  EXPECT_TRUE(sameArea(repaintedOpaqueRegion(std::nullopt, drawn, repainted), opaqueRegion(drawn)))
      << "nothing known before: the whole image";
}

}  // namespace
}  // namespace vorlane
