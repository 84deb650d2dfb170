#pragma once

// What every scenario shares: a desktop, a home folder that outlives a program run, settings
// written before the start, and the log lines the scenarios wait for.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <QRect>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "foundation/date_description.h"
#include "platform/persistence/file_record_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "tests/support/program_run.h"
#include "tests/support/utc_stamp.h"

namespace vorlane::e2e {

using namespace std::chrono_literals;
using testing::DesktopPieces;
using testing::DesktopSession;
using testing::ProgramRun;

// A zone that moves its clocks: the day of the spring change.
constexpr const char* zone = "Europe/Berlin";
constexpr const char* day = "2026-03-29";
// A faked hour passes in ten real seconds.
constexpr int speed = 360;
constexpr auto startLimit = 60s;

inline std::time_t at(const std::string& localTime) {
  return testing::localTime(zone, std::string(day) + " " + localTime);
}

// A local time on another day of the same zone ("2026-03-30", "08:55:00").
inline std::time_t atOn(const std::string& date, const std::string& localTime) {
  return testing::localTime(zone, date + " " + localTime);
}

using testing::utcStamp;

inline std::string visitLine(std::time_t when) {
  return "vorlane[presentation] info: performing visit scheduled for " +
         describeDate(Date::fromUnix(double(when)));
}

// Thrown out of a scenario whose desktop did not start; the test framework fails the test with
// its message, and the scenario's desktop ends with the scenario.
struct DesktopNotStarted : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Scenario : public ::testing::Test {
 protected:
  // A desktop that does not start ends the test there, failed with the reason: the scenarios
  // go on after this call, and would use what it did not make.
  void startDesktop(DesktopPieces pieces = {}, const testing::BusServices& sessionServices = {}) {
    desktop = std::make_unique<DesktopSession>(pieces, "1280x800x24", sessionServices);
    if (!desktop->ready())
      throw DesktopNotStarted("the desktop did not start: " + desktop->failure());
    program = std::make_unique<ProgramRun>(*desktop, home.path());
  }

  // Welcomed already; no invitations or encouragements between the hours, so that every
  // visit of the day is one the scenario asked for.
  void seedPreferences(const std::function<void(Preferences&)>& change = nullptr) {
    FileRecordStore records(home.path() / ".config/vorlane");
    RecordPreferencesStore preferences(records);
    preferences.modify([&](Preferences& p) {
      p.hasCompletedOnboarding = true;
      p.idleFocusInvitationsEnabled = false;
      p.encouragementsEnabled = false;
      if (change) change(p);
    });
  }

  // Starts the program at `localTime` of the scenario's day and waits for its launch line.
  void launch(std::time_t start, const std::vector<std::string>& extra = {}) {
    ASSERT_TRUE(program->start({zone, start, speed}, extra));
    ASSERT_TRUE(program->waitForLine("Vorlane launching", startLimit)) << program->log();
  }

  // As launch, with the clock running `atSpeed` times real time.
  void launch(std::time_t start, int atSpeed) {
    ASSERT_TRUE(program->start({zone, start, atSpeed}));
    ASSERT_TRUE(program->waitForLine("Vorlane launching", startLimit)) << program->log();
  }

  // The name of the window that has the keyboard, empty when none has.
  std::string activeWindowName() const {
    auto name = testing::commandOutput(
        desktop->withEnvironment("xdotool getactivewindow getwindowname 2>/dev/null"));
    if (!name) return {};
    while (!name->empty() && name->back() == '\n') name->pop_back();
    return *name;
  }

  // Waits until the window titled `title` has the keyboard, nudging the window manager
  // meanwhile (under load it may sit on a new window until another X event comes).
  bool waitForActive(const std::string& title, std::chrono::milliseconds limit = 60s) {
    return desktop->waitUntilManaged([&] { return activeWindowName() == title; }, limit);
  }
  // Waits until the window titled `title` no longer has the keyboard.
  bool waitForInactive(const std::string& title, std::chrono::milliseconds limit = 60s) {
    return desktop->waitUntilManaged([&] { return activeWindowName() != title; }, limit);
  }

  // Closes the window titled `title`, which has the keyboard, as the user does: Alt+F4. A
  // window manager on a loaded machine now and then misses the keys; they are pressed again
  // while the window still has the keyboard. Whether it lost the keyboard within `limit`.
  bool closeWithKeys(const std::string& title, std::chrono::milliseconds limit = 60s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      if (activeWindowName() != title) return true;
      if (!desktop->shell("xdotool key alt+F4")) return false;
      if (waitForInactive(title, 15s)) return true;
    }
    return activeWindowName() != title;
  }

  // As the user would: Ctrl+Alt+Space, then `command` typed into the quick command window
  // once it has the keyboard, then Return, then Escape to close it. False when the window
  // never took the keyboard.
  bool typeCommand(const std::string& command) {
    if (!program->waitForLine("hotkey registered with identifier 2", startLimit)) return false;
    if (!desktop->shell("xdotool key ctrl+alt+space")) return false;
    if (!waitForActive(quickCommandTitle)) {
      return false;
    }
    return desktop->shell("xdotool type --delay 10 " + testing::quoted(command)) &&
           desktop->shell("xdotool key Return") && desktop->shell("xdotool key Escape") &&
           waitForInactive(quickCommandTitle);
  }
  static constexpr const char* quickCommandTitle = "Vorlane quick actions";

  // Whether the window that takes the pointer where it is now is one of the program's.
  bool pointerOverProgram() const {
    const auto pid = desktop->processUnderPointer();
    return pid && pid_t(*pid) == program->pid();
  }
  // As the user pulls the monkey: pressed on its body and dragged down at a person's pace.
  // The mascot takes the pointer only once it has seen it over the character: the press
  // waits for that. A click-through mascot never takes it (nor looks for it), and the
  // press goes through at once.
  bool pull(QPoint at, bool clickThrough = false) {
    const std::string x = std::to_string(at.x());
    if (!desktop->shell("xdotool mousemove " + x + " " + std::to_string(at.y()))) return false;
    if (!clickThrough && !testing::waitUntil([&] { return pointerOverProgram(); }, 30s)) {
      ADD_FAILURE() << "the mascot never took the pointer";
      return false;
    }
    return desktop->shell("xdotool mousedown 1 sleep 0.2 mousemove " + x + " " +
                          std::to_string(at.y() + 30) + " sleep 0.2 mousemove " + x + " " +
                          std::to_string(at.y() + 90) + " sleep 0.3 mouseup 1");
  }

  // Saved beside the test's files; copied to $VORLANE_KEEP_SCREENSHOTS when set.
  QImage screenshot(const std::string& name) {
    const auto file = desktop->folder() / (name + ".png");
    if (!desktop->screenshot(file)) return {};
    QImage image(QString::fromStdString(file.string()));
    if (const char* keep = std::getenv("VORLANE_KEEP_SCREENSHOTS")) {
      image.save(QString::fromStdString(std::string(keep) + "/" + name + ".png"));
    }
    return image.convertToFormat(QImage::Format_RGB32);
  }

  // A click at a point of the window that has the keyboard; what it changed is drawn on
  // return.
  bool click(QPoint point) {
    const bool clicked =
        desktop->shell("xdotool mousemove --window $(xdotool getactivewindow) " +
                       std::to_string(point.x()) + " " + std::to_string(point.y()) + " click 1");
    settled();
    return clicked;
  }
  // The program's windows on the screen (its menus among them).
  int visibleWindows() const {
    const auto ids = testing::commandOutput(desktop->withEnvironment(
        "xdotool search --onlyvisible --pid " + std::to_string(program->pid()) + " 2>/dev/null"));
    if (!ids) return 0;
    int lines = 0;
    for (const char c : *ids) lines += c == '\n';
    return lines;
  }

  // Where the window with the keyboard is on the screen; empty when none has it.
  QRect activeWindowArea() const {
    const auto shell = testing::commandOutput(
        desktop->withEnvironment("xdotool getactivewindow getwindowgeometry --shell 2>/dev/null"));
    if (!shell) return {};
    const auto value = [&](const std::string& key) {
      const auto at = shell->find(key + "=");
      return at == std::string::npos ? -1 : std::atoi(shell->c_str() + at + key.size() + 1);
    };
    const QRect area(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
    return area.width() > 0 && area.height() > 0 ? area : QRect();
  }
  // Waits until `area` of the screen (the window with the keyboard when none is given, else
  // the whole screen) has stopped changing: two looks a moment apart differ by no more than
  // a blinking text cursor. What was typed or clicked is then drawn. The last look is kept
  // as `name`; the test fails when the area is still changing after `limit`.
  QImage settled(const std::string& name = "settled", QRect area = {},
                 std::chrono::milliseconds limit = 30s) {
    if (area.isEmpty()) area = activeWindowArea();
    QImage last;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      QImage now = screenshot(name);
      if (!now.isNull() && !last.isNull() &&
          changedPixels(last, now, area.isEmpty() ? now.rect() : area) <= 60) {
        return now;
      }
      last = now;
      usleep(300'000);
    }
    ADD_FAILURE() << "the screen kept changing for " << limit.count() << " ms: " << name;
    return last;
  }

  // Pixels of `area` that differ between two screenshots.
  static int changedPixels(const QImage& a, const QImage& b, QRect area) {
    int count = 0;
    area = area.intersected(a.rect()).intersected(b.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
    }
    return count;
  }

  void TearDown() override {
    if (HasFailure() && program) std::cerr << "--- program log ---\n" << program->log();
    program.reset();
    desktop.reset();
  }

  testing::TempFolder home;
  std::unique_ptr<DesktopSession> desktop;
  std::unique_ptr<ProgramRun> program;
};

}  // namespace vorlane::e2e
