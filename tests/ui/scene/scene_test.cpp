#include "ui/scene/scene.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>

#include "tests/support/image_pixels.h"
#include "tests/support/manual_work_queue.h"
#include "ui/scene/delayed_work.h"
#include "ui/scene/frame_driver.h"
#include "ui/scene/label_node.h"
#include "ui/scene/shape_node.h"

namespace vorlane {
namespace {

TEST(Scene, RendersYUpScaleBeforeRotationAlphaDownTheTreeAndNothingHidden) {
  Scene scene(QSizeF(100, 80));
  EXPECT_TRUE(fullyTransparent(scene.renderImage()));
  auto* layer = new Node;
  auto* bar = new ShapeNode(ShapeNode::roundedRect(20, 4, 0));
  bar->setFillColor(Rgba{1, 0, 0, 1});
  bar->setPosition({30, 10});  // 10 up from the bottom edge
  bar->setScale(2, 1);         // 40 wide, then turned a quarter: 4 wide, 40 high
  bar->setZRotation(M_PI / 2);
  auto* dot = new ShapeNode(ShapeNode::circle(5));
  dot->setFillColor(Rgba{0, 0, 1, 1});
  dot->setPosition({10, 10});
  layer->addChild(bar);
  layer->addChild(dot);
  scene.addChild(layer);
  const QImage image = scene.renderImage();
  EXPECT_EQ(image.pixelColor(30, 80 - 25), QColor(255, 0, 0));  // 15 above the centre
  EXPECT_EQ(qAlpha(image.pixel(45, 80 - 10)), 0);               // not 15 to the right
  layer->setAlpha(0.5);
  EXPECT_NEAR(qAlpha(scene.renderImage().pixel(10, 80 - 10)), 128, 2);
  layer->setHidden(true);
  EXPECT_TRUE(fullyTransparent(scene.renderImage()));
}

TEST(Scene, AccumulatedFrameIncludesDescendants) {
  auto* parent = new ShapeNode(ShapeNode::roundedRect(10, 10, 0));
  auto* child = new ShapeNode(ShapeNode::roundedRect(10, 10, 0));
  child->setPosition({20, 0});
  parent->addChild(child);
  parent->setPosition({100, 100});
  const QRectF frame = parent->accumulatedFrame();
  EXPECT_LT(frame.left(), 96);
  EXPECT_GT(frame.right(), 124);
  delete parent;
}

TEST(Label, WrapsAndCutsTheLastKeptLineWithAnEllipsis) {
  struct Row {
    const char* name;
    QString text;
    int lines;  // of at most 3
  };
  const Row rows[] = {
      {"empty has no frame", "", 0},
      {"short stays on one line", "It's 3 PM", 1},
      {"latin", "The quick brown fox jumps over the lazy dog and keeps on running far away", 3},
      {"rtl", QString::fromUtf8("שלום עולם זהו טקסט ארוך מאוד שצריך לעבור שורה ולהיחתך בסוף"), 3},
      {"one long word", QString(200, QChar('m')), 3}};
  for (const Row& row : rows) {
    LabelNode label;
    label.setFont({"Nimbus Sans", "DejaVu Sans"}, 20, QFont::Medium);
    label.setPreferredMaxLayoutWidth(120);
    label.setNumberOfLines(3);
    label.setText(row.text);
    const QStringList lines = label.lines();
    ASSERT_EQ(lines.size(), row.lines) << row.name;
    EXPECT_LE(label.textSize().width(), 120.0) << row.name;
    if (row.lines == 0) {
      EXPECT_EQ(label.textSize(), QSizeF(0, 0)) << row.name;
    } else if (row.lines == 1) {
      EXPECT_EQ(lines.front(), row.text);
      EXPECT_LT(label.textSize().height(), 20.0);
    } else {
      EXPECT_TRUE(lines.back().endsWith(QChar(0x2026))) << row.name;
      EXPECT_GT(label.textSize().height(), 40.0) << row.name;
    }
  }
}

// A text of thousands of characters is laid out only as far as it shows; what shows is what
// laying out all of it gives: the first lines as they wrap, the last kept one cut from the
// whole rest, the wrap width when a paragraph past the cut is the one that wraps.
TEST(Label, ALongTextShowsWhatLayingOutAllOfItWould) {
  QFont font({"Nimbus Sans", "DejaVu Sans"});
  font.setPixelSize(20);
  font.setWeight(QFont::Medium);
  const QFontMetricsF metrics(font);
  QString words;
  for (int i = 0; words.size() < 5000; ++i) words += QStringLiteral("water the plants %1 ").arg(i);
  const struct {
    const char* name;
    QString text;
  } rows[] = {
      {"one long paragraph", words},
      {"short paragraphs, then a long one past the cut", "a\nb\nc\nd\n" + words},
  };
  for (const auto& row : rows) {
    QString text = row.text;
    text.replace(QChar('\n'), QChar::LineSeparator);
    QTextLayout whole(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    whole.setTextOption(option);
    whole.beginLayout();
    QStringList expected;
    int lastStart = 0;
    int index = 0;
    for (QTextLine line = whole.createLine(); line.isValid(); line = whole.createLine(), ++index) {
      line.setLineWidth(120);
      if (index < 2) expected << text.mid(line.textStart(), line.textLength()).trimmed();
      if (index == 2) lastStart = line.textStart();
    }
    whole.endLayout();
    expected << metrics.elidedText(text.mid(lastStart).simplified(), Qt::ElideRight, 120);

    LabelNode label;
    label.setFont({"Nimbus Sans", "DejaVu Sans"}, 20, QFont::Medium);
    label.setPreferredMaxLayoutWidth(120);
    label.setNumberOfLines(3);
    label.setText(row.text);
    EXPECT_EQ(label.lines(), expected) << row.name;
    EXPECT_EQ(label.textSize().width(), 120.0) << row.name << ": the text wraps";
  }
}

TEST(FrameDriver, StopsAfterAFrameWithoutActionAndRestartsOnANewOne) {
  Scene scene(QSizeF(10, 10));
  auto* node = new Node;
  scene.addChild(node);
  FrameDriver driver(&scene);
  QSignalSpy frames(&driver, &FrameDriver::frameStepped);
  node->run(Action::moveBy(10, 0, 0.05));
  EXPECT_TRUE(driver.isRunning());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !driver.isRunning(); }, 2000));
  EXPECT_DOUBLE_EQ(node->position().x(), 10);
  driver.setPaused(true);
  node->run(Action::moveBy(10, 0, 0.05));
  EXPECT_FALSE(driver.isRunning());
  driver.setPaused(false);
  EXPECT_TRUE(driver.isRunning());
  EXPECT_GT(frames.count(), 1);
  // A slower pace keeps the driver going, and the action keeps its length.
  node->run(Action::moveBy(10, 0, 0.2));
  driver.setInterval(FrameDriver::halfRateInterval);
  EXPECT_TRUE(driver.isRunning());
  const int before = frames.count();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !driver.isRunning(); }, 2000));
  EXPECT_DOUBLE_EQ(node->position().x(), 30);
  EXPECT_LE(frames.count() - before, 9) << "about 6 frames of 33 ms, not 12 of 16 ms";
}

TEST(FrameDriver, SettlingSlowsToFifteenFramesWhileADriftLastsAndSpeedsUpForAMove) {
  Scene scene(QSizeF(100, 100));
  auto* dot = new ShapeNode(ShapeNode::circle(4));
  dot->setFillColor(Rgba{1, 0, 0, 1});
  scene.addChild(dot);
  FrameDriver driver(&scene);
  // 3 points a second: a tenth of a point per 30-Hz frame.
  dot->run(Action::moveBy(3, 0, 2));
  driver.settleIdleMotion();
  EXPECT_TRUE(driver.isSettling());
  EXPECT_EQ(driver.interval(), FrameDriver::halfRateInterval) << "a motion starts lively";
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return driver.interval() == SettleRate::settledInterval; }, 1000));
  // A jump of 20 points in one frame.
  dot->run(Action::moveBy(20, 0, 0.1));
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return driver.interval() == FrameDriver::halfRateInterval; }, 1000));
  EXPECT_TRUE(driver.isSettling()) << "still settling: slow again once the jump is over";
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return driver.interval() == SettleRate::settledInterval; }, 1000));
  driver.setInterval(FrameDriver::fullRateInterval);
  EXPECT_FALSE(driver.isSettling()) << "a set pace ends settling";
  EXPECT_TRUE(QTest::qWaitFor([&] { return !driver.isRunning(); }, 3000));
  EXPECT_EQ(driver.interval(), FrameDriver::fullRateInterval);
  EXPECT_NEAR(dot->position().x(), 23, 1e-6) << "the slower frames kept the actions' lengths";
}

TEST(DelayedWork, ManualQueueFiresDueWorkInOrderAndHonoursCancel) {
  ManualWorkQueue queue;
  auto first = queue.makeWork();
  auto second = queue.makeWork();
  auto cancelled = queue.makeWork();
  std::vector<int> fired;
  second->schedule(2, [&] { fired.push_back(2); });
  first->schedule(1, [&] { fired.push_back(1); });
  cancelled->schedule(0.5, [&] { fired.push_back(0); });
  cancelled->cancel();
  queue.advance(1.5);
  EXPECT_EQ(fired, std::vector<int>{1});
  EXPECT_FALSE(first->isPending());
  EXPECT_TRUE(second->isPending());
  queue.advance(1);
  EXPECT_EQ(fired, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace vorlane
