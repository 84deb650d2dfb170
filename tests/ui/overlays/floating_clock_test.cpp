#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>

#include "platform/persistence/in_memory_record_store.h"
#include "tests/support/fake_clock.h"
#include "tests/support/image_pixels.h"
#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"
#include "tests/support/manual_work_queue.h"
#include "tests/support/nested_json.h"
#include "ui/overlays/clock_placement.h"
#include "ui/overlays/floating_clock_controller.h"

namespace vorlane {
namespace {

// A display with a 40-pixel taskbar along its bottom, and one right of it below a top panel.
const ScreenInfo left{"DP-1", QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040)};
const ScreenInfo right{"HDMI-1", QRect(1920, 0, 1280, 1024), QRect(1920, 30, 1280, 994)};
const std::string leftKey = "floatingClock.position.DP-1";
const std::string rightKey = "floatingClock.position.HDMI-1";

// The panel's default corner: 16 from the right and 12 from the bottom of the work area.
QPoint defaultCorner(const ScreenInfo& s) {
  const QRect v = s.availableGeometry;
  return {v.x() + v.width() - 144 - 16, v.y() + v.height() - 38 - 12};
}

class FloatingClockTest : public ::testing::Test {
 protected:
  ~FloatingClockTest() override {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // The user drags the panel there (the window system reports the move).
  void drag(QPoint to) {
    controller.panel()->move(to);
    QCoreApplication::processEvents();
  }
  QPoint corner() const { return controller.panel()->pos(); }
  void trigger(const QString& title) {
    for (QAction* action : controller.panel()->menu()->actions()) {
      if (action->text() == title) return action->trigger();
    }
    ADD_FAILURE() << "no menu item " << title.toStdString();
  }

  InMemoryRecordStore store;
  FakeClock clock{Date::fromUnix(1'700'000'000)};  // 2023-11-14 22:13:20 UTC
  TimeChangeNotifier timeChanges;
  ManualWorkQueue queue;
  std::string zone = "Europe/Paris";
  int hides = 0;
  FloatingClockController controller{store,
                                     clock,
                                     timeChanges,
                                     [this] { ++hides; },
                                     [this] { return Calendar(zone, "en_GB"); },
                                     [this] { return queue.makeWork(); },
                                     [] { return true; }};
};

TEST_F(FloatingClockTest, FirstShowSitsInTheCornerWithTheTime) {
  controller.show(left);
  ASSERT_NE(controller.panel(), nullptr);
  EXPECT_TRUE(controller.isShown());
  EXPECT_EQ(controller.panel()->size(), QSize(144, 38));
  EXPECT_EQ(corner(), defaultCorner(left));
  EXPECT_EQ(controller.text(), "23:13");
  EXPECT_EQ(controller.panel()->timeText(), "23:13");
  EXPECT_TRUE(controller.isTicking());
  EXPECT_TRUE(controller.panel()->windowFlags() & Qt::WindowStaysOnTopHint);
  QStringList titles;
  for (QAction* a : controller.panel()->menu()->actions()) titles << a->text();
  EXPECT_EQ(titles, QStringList({"Reset clock position", "Hide clock"}));
  queue.advance(1);
  EXPECT_FALSE(store.rawBytes(leftKey));  // showing stores nothing
}

TEST_F(FloatingClockTest, EachDisplayRestoresItsOwnPlaceAndAChangedWorkAreaReappliesIt) {
  store.setData(leftKey, "[0,1]");         // top left of the work area
  store.setData(rightKey, "[0.5,0,0.5]");  // not a place: the default is used
  controller.show(left);
  EXPECT_EQ(corner(), QPoint(0, 0));
  controller.show(right);
  EXPECT_EQ(controller.screenID(), "HDMI-1");
  EXPECT_EQ(corner(), defaultCorner(right));
  controller.show(left);
  EXPECT_EQ(corner(), QPoint(0, 0));
  drag({100, 100});
  queue.advance(0.3);
  store.setData(leftKey, "[0,0]");
  controller.show(left);  // the same display keeps the panel where it is
  EXPECT_EQ(corner(), QPoint(100, 100));
  ScreenInfo tallerTaskbar = left;
  tallerTaskbar.availableGeometry = QRect(0, 0, 1920, 1000);
  controller.show(tallerTaskbar);
  EXPECT_EQ(corner(), QPoint(0, 1000 - 38));
}

// Unread, the place is the default corner, and what is stored stays until the user moves it.
TEST_F(FloatingClockTest, APlaceNestedPastTheDepthBoundIsTheDefaultCornerAndIsKept) {
  const std::string nested = testing::nestedArrays(100000);
  store.setData(leftKey, nested);
  controller.show(left);
  EXPECT_EQ(corner(), defaultCorner(left));
  queue.advance(1);
  EXPECT_EQ(store.rawBytes(leftKey), nested);
}

TEST_F(FloatingClockTest, ADragOffTheDisplaySnapsBackAndIsStoredOnceItSettles) {
  store.setData(rightKey, "[0.2,0.2]");
  controller.show(left);
  drag({1850, 600});
  drag({1900, 1030});  // partly off the right and bottom edges
  EXPECT_EQ(corner(), QPoint(1920 - 144, 1040 - 38));
  EXPECT_EQ(store.writeCount(leftKey), 0);
  queue.advance(0.3);
  EXPECT_EQ(store.writeCount(leftKey), 1);
  const auto stored = decodeClockFractions(store.data(leftKey));
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, (ClockFractions{1, 0}));  // right edge, bottom edge

  // Reset forgets only this display's place, and a drag not yet written is never written.
  drag({300, 300});
  trigger("Reset clock position");
  QCoreApplication::processEvents();
  queue.advance(1);
  EXPECT_EQ(corner(), defaultCorner(left));
  EXPECT_FALSE(store.rawBytes(leftKey));
  EXPECT_EQ(store.rawBytes(rightKey), "[0.2,0.2]");
}

TEST_F(FloatingClockTest, TicksOnEachWholeMinuteAndShowsClockAndZoneChangesAtOnce) {
  controller.show(left);  // 20 s into the minute
  for (const auto& [seconds, text] :
       std::vector<std::pair<double, QString>>{{39.9, "23:13"}, {0.1, "23:14"}, {60, "23:15"}}) {
    clock.advance(seconds);
    queue.advance(seconds);
    EXPECT_EQ(controller.text(), text);
  }
  clock.advance(3570);  // the clock is set ahead to 00:14:30
  emit timeChanges.changed();
  EXPECT_EQ(controller.text(), "00:14");
  // The next tick follows the new time: 30 s to the minute.
  clock.advance(29.9);
  queue.advance(29.9);
  EXPECT_EQ(controller.text(), "00:14");
  clock.advance(0.1);
  queue.advance(0.1);
  EXPECT_EQ(controller.text(), "00:15");
  zone = "Asia/Tokyo";
  emit timeChanges.changed();
  EXPECT_EQ(controller.text(), "08:15");
  EXPECT_EQ(controller.panel()->timeText(), "08:15");
}

TEST_F(FloatingClockTest, HideClockStopsTheTickAndTellsTheOwner) {
  controller.show(left);
  trigger("Hide clock");
  EXPECT_EQ(hides, 1);
  EXPECT_FALSE(controller.isShown());
  EXPECT_FALSE(controller.isTicking());
  clock.advance(120);
  queue.advance(120);
  emit timeChanges.changed();
  EXPECT_EQ(controller.text(), "23:13");  // a hidden panel is not refreshed
  controller.hide();
  EXPECT_EQ(hides, 1);  // only the menu tells the owner
  controller.show(left);
  EXPECT_EQ(controller.text(), "23:15");
  EXPECT_TRUE(controller.isTicking());
}

TEST_F(FloatingClockTest, AFailedWriteIsLoggedAndTheClockCarriesOn) {
  LogCapture capture;
  controller.show(left);
  store.setFailing(true);
  drag({500, 500});
  queue.advance(0.3);
  const auto lines = logMessages(capture, "presentation");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("could not store the clock position"), std::string::npos);
  EXPECT_EQ(corner(), QPoint(500, 500));
  EXPECT_TRUE(controller.isTicking());
}

TEST_F(FloatingClockTest, ThePanelShowsTheTimeOnARoundedBox) {
  controller.show(left);
  const QImage image = controller.panel()->grab().toImage();
  EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);  // a rounded corner
  EXPECT_GT(image.pixelColor(72, 3).alpha(), 150);
  const auto light = [](const QColor& c) { return c.lightness() > 180; };
  EXPECT_GT(pixelsWhere(image, light, QRect(8, 8, 128, 22)), 40);  // light digits in the middle
}

}  // namespace
}  // namespace vorlane
