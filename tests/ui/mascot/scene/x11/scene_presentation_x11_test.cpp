#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/desktop/environment/system_environment.h"
#include "tests/support/event_loop_marker.h"
#include "tests/support/x11_peer.h"
#include "tests/ui/mascot_window/x11/mascot_window_over_backdrop.h"
#include "ui/mascot/character/character_factory.h"
#include "ui/mascot/scene/mascot_scene.h"
#include "ui/mascot/scene/scene_presentation.h"
#include "ui/mascot_window/qt_screen_provider.h"
#include "ui/mascot_window/target_screen.h"

namespace vorlane {
namespace {

using testing::processEventsUntil;

// Counts the times Qt's repaint cycle was asked to run for the window.
class RepaintRequests final : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::UpdateRequest) ++count;
    return false;
  }
};

// The largest difference of one channel, alpha included, between images of the same size,
// inside `shown` (every pixel when none).
int largestDifference(const QImage& a, const QImage& b, const std::optional<QRegion>& shown) {
  int worst = 0;
  for (int y = 0; y < a.height(); ++y) {
    const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      if (shown && !shown->contains(QPoint(x, y))) continue;
      worst =
          std::max({worst, std::abs(qRed(p[x]) - qRed(q[x])), std::abs(qGreen(p[x]) - qGreen(q[x])),
                    std::abs(qBlue(p[x]) - qBlue(q[x])), std::abs(qAlpha(p[x]) - qAlpha(q[x]))});
    }
  }
  return worst;
}

// The peeking mascot's column on openbox, blended by xcompmgr or (false) by no compositor.
class ScenePresentedOnX : public MascotWindowOverBackdrop {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(makeWindowOver(0xd02020));
    scene = new MascotScene(QSizeF(window->size()), makeMascotCharacter());
    scene->setCharacterTopInset(30);
    scene->enterPeek(false);
    view = new MascotView(scene);
    window->setContentWidget(view);
    presentSceneThroughWindow(*window, *view, *scene);
    window->show();
    id = xcb_window_t(window->winId());
    ASSERT_TRUE(framesHandedOver());
    frames(10);  // the first frames lay the scene out
  }
  void TearDown() override {
    window.reset();  // takes the view
    delete scene;
    MascotWindowOverBackdrop::TearDown();
  }

  // Until the window shows and takes the scene's frames itself, and Qt has run the one
  // repaint the hand-over asks for: an update request, timed to a frame of the screen, set
  // going before the marker.
  bool framesHandedOver() {
    const bool handedOver = processEventsUntil([&] {
      return peer.viewable(id) && window->windowHandle()->isExposed() && window->presentsFrames() &&
             view->viewportUpdateMode() == QGraphicsView::NoViewportUpdate;
    });
    testing::runEventLoopPast(std::chrono::milliseconds(100));
    return handedOver;
  }
  // Frames as the frame driver runs them, each handled to the end, scene notices included.
  void frames(int count) {
    for (int i = 0; i < count; ++i) {
      scene->step(1.0 / 30.0);
      QApplication::sendPostedEvents();
      QApplication::sendPostedEvents();
    }
  }
  // How far what the window shows is from the scene's own rendering. A compositor blends the
  // window's own pixels; without one the screen shows their colour channels inside the
  // window's shape, once the server has drawn them.
  int differenceFromTheScene() {
    const QImage expected = scene->renderImage();
    if (GetParam()) return largestDifference(window32(), expected, std::nullopt);
    const QImage colours(expected.constBits(), expected.width(), expected.height(),
                         expected.bytesPerLine(), QImage::Format_RGB32);
    return largestDifference(screenColumn(), colours, window->contentMask());
  }
  // What the program sent is in before the peer asks.
  void flushed() {
    xcb_connection_t* connection = SystemEnvironment::qtConnection();
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
  }
  // The window's own pixels, premultiplied, as the X server holds them now.
  QImage window32() {
    flushed();
    const QSize size = window->size();
    const auto image = testing::owned(xcb_get_image_reply(
        peer.c,
        xcb_get_image(peer.c, XCB_IMAGE_FORMAT_Z_PIXMAP, id, 0, 0, std::uint16_t(size.width()),
                      std::uint16_t(size.height()), ~0u),
        nullptr));
    if (!image || image->depth != 32) return {};
    return QImage(xcb_get_image_data(image.get()), size.width(), size.height(),
                  QImage::Format_ARGB32_Premultiplied)
        .copy();
  }
  // The screen under the column.
  QImage screenColumn() {
    flushed();
    return screenArea(window->geometry());
  }

  MascotScene* scene = nullptr;
  MascotView* view = nullptr;
  xcb_window_t id = XCB_WINDOW_NONE;
};

// Each frame of a fidget reaches the window as the scene draws it, with or without a
// compositor, and Qt's repaint cycle (with its wait on the X server) never runs.
TEST_P(ScenePresentedOnX, FidgetFramesReachTheWindowAsTheSceneDrawsThemWithoutQtRepainting) {
  ASSERT_TRUE(window->presentsFrames());
  EXPECT_EQ(view->viewportUpdateMode(), QGraphicsView::NoViewportUpdate);
  RepaintRequests requests;
  window->installEventFilter(&requests);
  struct Row {
    IdleFidget fidget;
    int frames;
  };
  for (const Row& row :
       {Row{IdleFidget::kick, 20}, Row{IdleFidget::swing, 35}, Row{IdleFidget::scratchHead, 45}}) {
    scene->setCalm(false);
    ASSERT_TRUE(scene->performIdleFidget(row.fidget).has_value());
    for (int i = 0; i < row.frames; i += 5) {
      frames(5);
      EXPECT_LE(differenceFromTheScene(), 3) << row.fidget.value() << " frame " << i + 5;
    }
  }
  EXPECT_EQ(requests.count, 0);

  // Hidden and shown again, the window paints through Qt and then takes frames over again.
  window->hide();
  EXPECT_EQ(view->viewportUpdateMode(), QGraphicsView::BoundingRectViewportUpdate);
  window->show();
  ASSERT_TRUE(framesHandedOver());
  scene->setCalm(false);
  ASSERT_TRUE(scene->performIdleFidget(IdleFidget::kick).has_value());
  frames(12);
  EXPECT_LE(differenceFromTheScene(), 3) << "after showing again";
}

INSTANTIATE_TEST_SUITE_P(Compositor, ScenePresentedOnX, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "xcompmgr" : "none"; });

}  // namespace
}  // namespace vorlane
