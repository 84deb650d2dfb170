#include "ui/tray/icon_cover_watch.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

namespace vorlane {
namespace {

using namespace std::chrono_literals;

// Runs the event loop for `milliseconds`.
void runFor(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The panel is looked at again once a window over the icon changes in a way that may
// uncover it, once only, and not at all while none changes. Regression: it was looked at
// every second for good while the mascot's column stood over the icon.
TEST(IconCoverWatch, TellsOnceWhenAWindowOverTheIconHidesMovesResizesOrGoes) {
  const struct {
    const char* name;
    std::function<void(std::unique_ptr<QWidget>&)> change;
    int told;
  } rows[] = {
      {"nothing changes", [](std::unique_ptr<QWidget>&) {}, 0},
      {"the menu closes", [](std::unique_ptr<QWidget>& w) { w->hide(); }, 1},
      {"the window moves away", [](std::unique_ptr<QWidget>& w) { w->move(400, 300); }, 1},
      {"the window shrinks", [](std::unique_ptr<QWidget>& w) { w->resize(20, 20); }, 1},
      {"the window goes", [](std::unique_ptr<QWidget>& w) { w.reset(); }, 1},
      {"it moves, then closes",
       [](std::unique_ptr<QWidget>& w) {
         w->move(400, 300);
         w->hide();
       },
       1},
  };
  for (const auto& row : rows) {
    auto window = std::make_unique<QWidget>();
    window->setGeometry(0, 0, 200, 300);
    window->show();
    runFor(50);
    IconCoverWatch watch(100ms, 10s);
    int told = 0;
    watch.follow({window.get()}, false, [&] { ++told; });
    row.change(window);
    EXPECT_EQ(told, 0) << row.name << ": not before the screen has had a moment";
    runFor(300);
    EXPECT_EQ(told, row.told) << row.name;
    if (row.told > 0 && window) {
      window->show();
      window->hide();
      runFor(300);
      EXPECT_EQ(told, row.told) << row.name << ": told once only";
    }
  }
}

TEST(IconCoverWatch, FollowsNothingOnceStoppedAndLooksAgainAtAWindowDrawnInPart) {
  QWidget menu;
  menu.setGeometry(0, 0, 200, 300);
  menu.show();
  IconCoverWatch watch(100ms, 500ms);
  int told = 0;
  watch.follow({&menu}, false, [&] { ++told; });
  watch.stop();
  menu.hide();
  runFor(300);
  EXPECT_EQ(told, 0) << "told after it stopped";

  // The mascot's column: the monkey moves within it without the window changing.
  QWidget column;
  column.setGeometry(0, 0, 340, 800);
  column.show();
  watch.follow({&column}, true, [&] { ++told; });
  runFor(300);
  EXPECT_EQ(told, 0) << "too soon";
  runFor(500);
  EXPECT_EQ(told, 1);
}

}  // namespace
}  // namespace vorlane
