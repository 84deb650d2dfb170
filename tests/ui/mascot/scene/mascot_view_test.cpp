#include "ui/mascot/scene/mascot_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBackingStore>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "ui/mascot/character/character_factory.h"
#include "ui/mascot/scene/mascot_scene.h"

namespace vorlane {
namespace {

// The regions the view repainted.
class RepaintLog final : public QObject {
 public:
  std::vector<QRegion> regions;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint)
      regions.push_back(static_cast<QPaintEvent*>(event)->region());
    return false;
  }
};

// The largest difference of one channel between two images of the same size.
int largestDifference(const QImage& a, const QImage& b) {
  int worst = 0;
  for (int y = 0; y < a.height(); ++y) {
    const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      worst =
          std::max({worst, std::abs(qRed(p[x]) - qRed(q[x])), std::abs(qGreen(p[x]) - qGreen(q[x])),
                    std::abs(qBlue(p[x]) - qBlue(q[x]))});
    }
  }
  return worst;
}

// Frame by frame the view repaints only around what moved, and what it keeps on screen is
// the scene as a whole rendering draws it: no part left behind where it was, none missing.
TEST(MascotView, AnimatedFramesRepaintOnlyWhatMovedAndShowTheWholeScene) {
  const QSize size(340, 800);
  auto* scene = new MascotScene(QSizeF(size), makeMascotCharacter());
  scene->setCharacterTopInset(30);
  scene->enterPeek(false);
  // Offscreen, a backing store has no alpha to clear a repainted area to: the window lays the
  // view on opaque black instead, which it paints under every repaint.
  QWidget window;
  QPalette black;
  black.setColor(QPalette::Window, Qt::black);
  window.setPalette(black);
  window.setAutoFillBackground(true);
  window.resize(size);
  auto* view = new MascotView(scene, &window);
  view->setGeometry(window.rect());
  RepaintLog log;
  view->viewport()->installEventFilter(&log);
  window.show();
  QApplication::processEvents();
  const auto frames = [&](int count) {
    for (int i = 0; i < count; ++i) {
      scene->step(1.0 / 60.0);
      QApplication::sendPostedEvents();
      QApplication::sendPostedEvents();
    }
  };
  frames(10);  // the first frame lays the scene out

  struct Row {
    IdleFidget fidget;
    int frames;
  };
  for (const Row& row :
       {Row{IdleFidget::kick, 40}, Row{IdleFidget::swing, 70}, Row{IdleFidget::scratchHead, 90}}) {
    scene->setCalm(false);
    ASSERT_TRUE(scene->performIdleFidget(row.fidget).has_value());
    log.regions.clear();
    frames(row.frames);
    ASSERT_GE(log.regions.size(), std::size_t(row.frames) * 9 / 10) << row.fidget.value();
    for (std::size_t i = 0; i < log.regions.size(); ++i) {
      const QRect box = log.regions[i].boundingRect();
      EXPECT_LT(box.width() * box.height(), size.width() * size.height() / 10)
          << "a small figure moved, not the column: " << row.fidget.value() << " frame " << i << " "
          << box.x() << "," << box.y() << " " << box.width() << "x" << box.height();
    }

    // The window's pixels: the offscreen backing store has no alpha, so the scene's
    // rendering is laid on the same opaque black to compare.
    const QImage& shown = *static_cast<const QImage*>(window.backingStore()->paintDevice());
    QImage expected(size, QImage::Format_RGB32);
    expected.fill(Qt::black);
    {
      QPainter painter(&expected);
      painter.drawImage(0, 0, scene->renderImage());
    }
    const QImage actual = shown.copy(QRect(QPoint(), size)).convertToFormat(QImage::Format_RGB32);
    EXPECT_LE(largestDifference(actual, expected), 3) << row.fidget.value();
  }
  delete view;
  delete scene;
}

TEST(MascotView, ChangedSceneBoxesBecomeOneViewBoxWithRoomForAntialiasedEdges) {
  auto* scene = new MascotScene(QSizeF(340, 800), makeMascotCharacter());
  MascotView view(scene);
  view.resize(340, 800);
  view.show();
  QApplication::processEvents();
  struct Row {
    const char* name;
    QList<QRectF> boxes;
    QRect expected;
  };
  const Row rows[] = {
      {"nothing", {}, {}},
      {"one box, its fractions taken whole", {QRectF(10.5, 20.25, 30, 40)}, {8, 18, 35, 45}},
      {"two boxes, one around both",
       {QRectF(10, 20, 5, 5), QRectF(100, 300, 10, 10)},
       {8, 18, 104, 294}},
      {"cut at the view's edges", {QRectF(-20, 790, 50, 40)}, {0, 788, 32, 12}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(view.changedArea(row.boxes), row.expected) << row.name;
  }
  delete scene;
}

}  // namespace
}  // namespace vorlane
