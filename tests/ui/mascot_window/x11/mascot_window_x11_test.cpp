#include <gtest/gtest.h>
#include <xcb/shape.h>

#include <QImage>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/desktop/environment/system_environment.h"
#include "tests/support/paused_window_manager.h"
#include "tests/support/temp_folder.h"
#include "tests/support/x11_peer.h"
#include "tests/ui/mascot_window/painted_block.h"
#include "tests/ui/mascot_window/x11/mascot_window_over_backdrop.h"
#include "ui/mascot_window/mascot_window.h"
#include "ui/mascot_window/qt_screen_provider.h"
#include "ui/mascot_window/screen_change_watcher.h"
#include "ui/mascot_window/target_screen.h"

namespace vorlane {
namespace {

using testing::processEventsFor;
using testing::processEventsUntil;

constexpr std::uint32_t red = 0xd02020;
const QColor blue(30, 90, 220);         // the content's
const QRect block(100, 200, 120, 150);  // in the window

// The window on openbox, with xcompmgr blending it or (false) with no compositor at all.
class MascotWindowOnX : public MascotWindowOverBackdrop {
 protected:
  void SetUp() override {
    // The backdrop is there to see and click through to.
    ASSERT_NO_FATAL_FAILURE(makeWindowOver(red));
    content = new testing::PaintedBlock(block);
    window->setContentWidget(content);
    window->setLiveRects({block});
    window->setContentChangeListener([this](bool listen) { listening.push_back(listen); });
    window->show();
    id = xcb_window_t(window->winId());
    ASSERT_TRUE(processEventsUntil([&] {
      return peer.viewable(id) && window->windowHandle()->isExposed() &&
             peer.holds(id, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE");
    }));
    // Painted, and blended when a compositor runs: the content shows and nothing is black.
    ASSERT_TRUE(processEventsUntil(
        [&] { return shownAt(QPoint(940, 0) + block.center()) == blue && blackInColumn() == 0; },
        20000))
        << "the content never showed whole";
  }

  // The screen as a person sees it.
  QImage screenshot() {
    const auto file = folder / "screen.png";
    if (!testing::run("import -window root " + file.string())) return {};
    QImage image(QString::fromStdString(file.string()));
    if (const char* keep = std::getenv("VORLANE_KEEP_SCREENSHOTS")) {
      image.save(QString::fromStdString(std::string(keep) + "/mascot-" +
                                        (GetParam() ? "composited" : "plain") + ".png"));
    }
    return image;
  }
  // The colour the X server shows at a point of the screen now.
  QColor shownAt(QPoint at) {
    const auto image = testing::owned(
        xcb_get_image_reply(peer.c,
                            xcb_get_image(peer.c, XCB_IMAGE_FORMAT_Z_PIXMAP, peer.root,
                                          std::int16_t(at.x()), std::int16_t(at.y()), 1, 1, ~0u),
                            nullptr));
    if (!image || xcb_get_image_data_length(image.get()) < 4) return {};
    return QColor::fromRgb(
        *reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get())) & 0xffffff);
  }
  // Pure black pixels of the column on screen, as the X server holds them now.
  int blackInColumn() {
    const QImage column = screenArea(QRect(940, 0, 340, 800));
    if (column.isNull()) return -1;
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(column.constBits());
    const auto count = column.sizeInBytes() / 4;
    return int(
        std::count_if(pixels, pixels + count, [](std::uint32_t p) { return (p & 0xffffff) == 0; }));
  }
  // Until the window takes clicks over `live` alone, and so does the window manager's frame
  // around it: the manager copies the window's input shape to its frame once it hears of the
  // change, and a click sent before then lands on the frame.
  bool takesClicksOnlyOver(const std::vector<QRect>& live) {
    testing::X11Peer::roundTrip(SystemEnvironment::qtConnection());
    return processEventsUntil([&] {
      const auto tree =
          testing::owned(xcb_query_tree_reply(peer.c, xcb_query_tree(peer.c, id), nullptr));
      if (!tree || peer.inputShape(id) != live) return false;
      return tree->parent == peer.root || peer.inputShape(tree->parent) == live;
    });
  }
  // Presses that reached the window below since the last click.
  int pressesBelow() {
    belowPresses += peer.pressesOn(below);
    return belowPresses;
  }
  void click(QPoint at) {
    pressesBelow();
    belowPresses = 0;
    ASSERT_TRUE(testing::run("xdotool mousemove " + std::to_string(at.x()) + " " +
                             std::to_string(at.y()) + " click 1"));
  }

  testing::TempFolder folder;
  int belowPresses = 0;
  // What the window asked of its content-change listener, in order.
  std::vector<bool> listening;
  testing::PaintedBlock* content = nullptr;
  xcb_window_t id = XCB_WINDOW_NONE;
};

TEST_P(MascotWindowOnX, HangsAtTheRightEdgeOnEveryWorkspaceAboveOthersWithoutFocus) {
  EXPECT_EQ(window->compositorPresent(), GetParam());
  EXPECT_EQ(peer.origin(id), QPoint(940, 0));
  EXPECT_TRUE(processEventsUntil([&] { return window->geometry() == QRect(940, 0, 340, 800); }))
      << "Qt agrees, so a reposition to the same place does nothing: " << window->geometry().x()
      << "," << window->geometry().y() << " " << window->geometry().width() << "x"
      << window->geometry().height();
  // The window manager writes its own list of states as it manages the window, and on a busy
  // machine that may come after the window is mapped: wait for both to stand in it.
  EXPECT_TRUE(processEventsUntil([&] {
    return peer.holds(id, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE") &&
           peer.holds(id, "_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR");
  }));
  // Openbox has no sticky state: it keeps the window on all desktops instead.
  EXPECT_EQ(peer.words(id, "_NET_WM_DESKTOP"), std::vector<std::uint32_t>{0xFFFFFFFF});
  ASSERT_TRUE(testing::run("wmctrl -s 1"));
  EXPECT_TRUE(processEventsUntil([&] {
    return peer.words(peer.root, "_NET_CURRENT_DESKTOP") == std::vector<std::uint32_t>{1};
  }));
  EXPECT_TRUE(peer.viewable(id)) << "still there on another workspace";
  ASSERT_TRUE(testing::run("wmctrl -s 0"));
  EXPECT_NE(peer.focus(), id);
  const auto active = peer.words(peer.root, "_NET_ACTIVE_WINDOW");
  EXPECT_TRUE(active.empty() || active[0] != id);
}

TEST_P(MascotWindowOnX, ShowsTheContentAndOnlyTheContent) {
  const QImage shot = screenshot();
  ASSERT_FALSE(shot.isNull());
  const QPoint origin(940, 0);
  const QColor inside = shot.pixelColor(origin + block.center());
  EXPECT_EQ(inside, QColor(30, 90, 220)) << "the content's pixels";
  // Transparent or masked: the window below shows, never black.
  for (QPoint outside : {QPoint(300, 600), QPoint(10, 10), QPoint(330, 790)}) {
    EXPECT_EQ(shot.pixelColor(origin + outside), QColor(0xd0, 0x20, 0x20)) << outside.x();
  }
  EXPECT_EQ(window->contentMask().has_value(), !GetParam());

  // The content changes: without a compositor the shown area follows it.
  content->setBlock(QRect(40, 500, 60, 60));
  window->contentChanged();
  (void)processEventsUntil(
      [&] {
        return shownAt(origin + QPoint(70, 530)) == blue &&
               shownAt(origin + block.center()) == QColor(0xd0, 0x20, 0x20);
      },
      20000);
  const QImage moved = screenshot();
  EXPECT_EQ(moved.pixelColor(origin + QPoint(70, 530)), QColor(30, 90, 220));
  EXPECT_EQ(moved.pixelColor(origin + block.center()), QColor(0xd0, 0x20, 0x20));
}

// Hearing of every change makes a graphics view repaint all of itself: the window asks for
// changes only while its painted frames cannot carry the shown area.
TEST_P(MascotWindowOnX, AsksForContentChangesOnlyWhileItsFramesCannotCarryTheShape) {
  ASSERT_FALSE(listening.empty());
  EXPECT_FALSE(listening.back()) << "exposed and painted: the frames carry it";
  EXPECT_EQ(std::count(listening.begin(), listening.end(), true), 1)
      << "only until it found a compositor or painted its first frame";
  window->hide();
  EXPECT_EQ(listening.back(), !GetParam()) << "hidden, only the content can tell";
  window->show();
  EXPECT_TRUE(processEventsUntil([&] { return !listening.back(); }));
}

// A climb at sixty frames a second: what the block leaves shows the window below at once.
TEST_P(MascotWindowOnX, AMovingCharacterLeavesNoBlackTrail) {
  ASSERT_EQ(blackInColumn(), 0);
  int framesWithBlack = 0;
  for (int frame = 0; frame < 60; ++frame) {
    content->setBlock(block.translated(0, 6 * frame - 180));
    processEventsFor(16);
    if (blackInColumn() != 0) ++framesWithBlack;
  }
  EXPECT_EQ(framesWithBlack, 0) << "of 60";
  const QImage shot = screenshot();
  EXPECT_EQ(shot.pixelColor(QPoint(940, 0) + block.translated(0, 6 * 59 - 180).center()),
            QColor(30, 90, 220))
      << "the block is shown where it ends";
}

// The window manager's frame takes the window's shape only once the manager hears of it: a
// manager held up by a busy machine must not show its black frame where the block was, nor
// hide where the block goes.
TEST_P(MascotWindowOnX, AMovingCharacterLeavesNoBlackTrailWhileTheWindowManagerLags) {
  ASSERT_EQ(blackInColumn(), 0);
  const testing::PausedWindowManager paused;
  ASSERT_TRUE(paused.paused());
  int framesWithBlack = 0;
  QRect moved = block;
  for (int frame = 0; frame < 20; ++frame) {
    moved = block.translated(0, 6 * frame + 6);
    content->setBlock(moved);
    processEventsFor(16);
    if (blackInColumn() != 0) ++framesWithBlack;
  }
  EXPECT_EQ(framesWithBlack, 0) << "of 20";
  const QPoint lowestRow = QPoint(940, 0) + QPoint(moved.center().x(), moved.bottom());
  EXPECT_TRUE(processEventsUntil([&] { return shownAt(lowestRow) == blue; }))
      << "the rows the block moved into show it";
  EXPECT_EQ(blackInColumn(), 0);
}

TEST_P(MascotWindowOnX, TakesClicksOnlyOverTheLiveRectangles) {
  ASSERT_TRUE(takesClicksOnlyOver({block}));
  click(QPoint(940, 0) + QPoint(300, 600));
  EXPECT_TRUE(processEventsUntil([&] { return pressesBelow() == 1; }))
      << "a click beside the character reaches the window below";
  EXPECT_EQ(content->presses, 0);

  click(QPoint(940, 0) + block.center());
  EXPECT_TRUE(processEventsUntil([&] { return content->presses == 1; }));
  EXPECT_EQ(pressesBelow(), 0);
  EXPECT_NE(peer.focus(), id) << "a click does not give it the keyboard";

  // Live areas change, and survive the window being hidden and shown again.
  window->setLiveRects({});
  ASSERT_TRUE(takesClicksOnlyOver({}));
  click(QPoint(940, 0) + block.center());
  EXPECT_TRUE(processEventsUntil([&] { return pressesBelow() == 1; })) << "while mapped";
  window->hide();
  window->show();
  ASSERT_TRUE(
      processEventsUntil([&] { return peer.viewable(id) && window->windowHandle()->isExposed(); }));
  ASSERT_TRUE(takesClicksOnlyOver({})) << "the shapes set again once exposed";
  click(QPoint(940, 0) + block.center());
  EXPECT_TRUE(processEventsUntil([&] { return pressesBelow() == 1; }));
  EXPECT_EQ(content->presses, 1);
}

TEST_P(MascotWindowOnX, FollowsTheWorkAreaWhenAPanelAppears) {
  ScreenChangeWatcher watcher;
  QtScreenProvider screens(nullptr, nullptr);
  QObject::connect(&watcher, &ScreenChangeWatcher::changed, [&] {
    window->reposition(targetScreen(screens, std::nullopt), MascotPlacement(1, 0));
  });
  // A top panel reserves 40 pixels; the window manager shrinks the work area.
  const xcb_window_t panel = peer.coloredWindow(QRect(0, 0, 1280, 40), 0x202020, false);
  const std::uint32_t dock = peer.atom("_NET_WM_WINDOW_TYPE_DOCK");
  xcb_change_property(peer.c, XCB_PROP_MODE_REPLACE, panel, peer.atom("_NET_WM_WINDOW_TYPE"),
                      XCB_ATOM_ATOM, 32, 1, &dock);
  const std::uint32_t strut[12] = {0, 0, 40, 0, 0, 0, 0, 0, 0, 1279, 0, 0};
  xcb_change_property(peer.c, XCB_PROP_MODE_REPLACE, panel, peer.atom("_NET_WM_STRUT_PARTIAL"),
                      XCB_ATOM_CARDINAL, 32, 12, strut);
  xcb_map_window(peer.c, panel);
  peer.sync();
  EXPECT_TRUE(processEventsUntil([&] { return peer.origin(id) == QPoint(940, 40); }));
  EXPECT_EQ(window->geometry(), QRect(940, 40, 340, 760));
  xcb_destroy_window(peer.c, panel);
  peer.sync();
  EXPECT_TRUE(processEventsUntil([&] { return peer.origin(id) == QPoint(940, 0); }));
}

TEST_P(MascotWindowOnX, HearsOfAnotherWorkspaceShown) {
  ScreenChangeWatcher watcher;
  int changes = 0;
  QObject::connect(&watcher, &ScreenChangeWatcher::changed, [&] { ++changes; });
  ASSERT_TRUE(testing::run("wmctrl -s 1"));
  EXPECT_TRUE(processEventsUntil([&] { return changes > 0; }));
  const int afterFirst = changes;
  ASSERT_TRUE(testing::run("wmctrl -s 0"));
  EXPECT_TRUE(processEventsUntil([&] { return changes > afterFirst; })) << "and back";
}

INSTANTIATE_TEST_SUITE_P(Compositor, MascotWindowOnX, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "xcompmgr" : "none"; });

}  // namespace
}  // namespace vorlane
