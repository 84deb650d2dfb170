#pragma once

// The week's scenario: one desktop and one home folder for Monday to Saturday, the program
// started each morning and ended each evening, and what the days share.

#include <sys/wait.h>

#include <QColor>
#include <ctime>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/reminders/reminder.h"
#include "platform/persistence/file_reminder_store.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "tests/e2e/character_at.h"
#include "tests/e2e/scenario.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e::week {

// The week after the clocks went forward; it starts on Sunday in the program's locale.
inline constexpr const char* monday = "2026-03-30";
inline constexpr const char* tuesday = "2026-03-31";
inline constexpr const char* wednesday = "2026-04-01";
inline constexpr const char* thursday = "2026-04-02";
inline constexpr const char* friday = "2026-04-03";
inline constexpr const char* saturday = "2026-04-04";

inline constexpr const char* welcomeTitle = "Welcome to Vorlane";
inline constexpr const char* preferencesTitle = "Vorlane Preferences";
inline constexpr const char* todayTitle = "Today \u2014 Vorlane";
inline constexpr const char* calendarTitle = "Find a calendar focus window\u2026";
inline constexpr const char* focusWindowTitle = "Find a focus window \u2014 Vorlane";
inline constexpr const char* consentTitle = "Calendar access \u2014 Vorlane";

// A 1280x800 screen: the column at the right edge, the one in the middle once centred, and
// the right edge beside the centred 780-pixel preferences window.
inline const QRect rightColumn(940, 0, 340, 800);
inline const QRect middleColumn(470, 0, 340, 800);
inline const QRect besideWindow(1040, 0, 240, 800);
// Inside the 780x660 preferences window: the sidebar's rows, Center and Launch at login.
inline constexpr int sidebarX = 54;
inline constexpr int desktopRowY = 104, focusRowY = 180, scheduleRowY = 218, voiceRowY = 256,
                     generalRowY = 294;
inline const QPoint centerButton(355, 472);
inline const QPoint launchAtLoginToggle(236, 167);

// Set in the Schedule panel on Monday: from then on the day's last visit is at one.
inline constexpr int lastHourSet = 13;

// Rows of `area` where at least 12 pixels differ: the character is far wider than its rope.
inline int characterRows(const QImage& before, const QImage& after, QRect area) {
  int rows = 0;
  area = area.intersected(before.rect()).intersected(after.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    int changed = 0;
    for (int x = area.left(); x <= area.right(); ++x) {
      changed += before.pixel(x, y) != after.pixel(x, y);
    }
    rows += changed >= 12;
  }
  return rows;
}

// Pixels of `area` in a plain green or a plain blue, which nothing on the desktop shows
// until the rope and the fur are given them.
inline int pixelsOf(const QImage& image, QRect area, bool green) {
  int count = 0;
  area = area.intersected(image.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c(image.pixel(x, y));
      const int strong = green ? c.green() : c.blue(), weak = green ? c.blue() : c.green();
      count += strong > 140 && c.red() < 90 && weak < 90;
    }
  }
  return count;
}

// One meeting of half an hour starting at `start`.
inline std::string meetingCalendar(std::time_t start) {
  return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Week//EN\r\n"
         "BEGIN:VEVENT\r\nUID:review@week\r\nDTSTAMP:" +
         utcStamp(start - 86400) + "\r\nDTSTART:" + utcStamp(start) +
         "\r\nDTEND:" + utcStamp(start + 30 * 60) +
         "\r\nSUMMARY:Design review\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
}

class WeekScenario : public Scenario {
 protected:
  void SetUp() override {
    startDesktop();
    tray = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
    ASSERT_TRUE(tray->ready()) << "the stand-in watcher did not start";
    empty = screenshot("week-empty");
    ASSERT_FALSE(empty.isNull());
  }

  // The morning's launch; the log of every run goes on in the same file.
  void startDay(const char* date, const char* time, int atSpeed) {
    program = std::make_unique<ProgramRun>(*desktop, home.path());
    runStart = atOn(date, time);
    launch(runStart, atSpeed);
    ASSERT_TRUE(tray->waitForItem(startLimit)) << "the icon never reached the tray host";
  }
  // Each active hour the run passed was visited or dropped once, and no hour outside them
  // was visited; then the program is ended with `signal`.
  void endDay(int signal = SIGTERM) {
    const std::time_t end = program->fakeNow();
    ++runs;
    for (std::time_t hour = (runStart / 3600 + 1) * 3600; hour + 30 < end; hour += 3600) {
      const std::string when = describeDate(Date::fromUnix(double(hour)));
      const int h = hourIn(hour);
      SCOPED_TRACE(when);
      if (h >= 9 && h <= lastHour && !dropped.contains(hour)) {
        EXPECT_TRUE(program->waitForLine("visit scheduled for " + when, 30s))
            << "no visit at an active hour";
        EXPECT_EQ(program->count("visit scheduled for " + when), 1u);
      } else {
        EXPECT_EQ(program->count(visitLine(hour)), 0u) << "a visit at a quiet hour";
      }
    }
    const auto status = program->stop(signal);
    ASSERT_TRUE(status.has_value()) << "the program did not end";
    if (signal == SIGTERM) {
      EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
    }
  }
  static int hourIn(std::time_t when) {
    const auto out = testing::commandOutput("TZ=" + std::string(zone) + " date -d @" +
                                            std::to_string(when) + " +%H");
    return out ? std::stoi(*out) : -1;
  }
  // The log's `line`s counted before an action, and one more of them awaited after it.
  void remember(const std::string& line) { counted[line] = program->count(line); }
  bool another(const std::string& line, std::chrono::milliseconds limit = 30s) {
    return program->waitForLine(line, limit, counted[line] + 1);
  }
  bool reach(const char* date, const char* time) {
    const std::time_t when = atOn(date, time);
    return testing::waitUntil([&] { return program->fakeNow() >= when; },
                              program->real(double(when - program->fakeNow()) + 60));
  }

  bool activeIs(const std::string& window) {
    if (waitForActive(window)) return true;
    ADD_FAILURE() << "the window with the keyboard is \"" << activeWindowName() << "\", not \""
                  << window << "\"";
    return false;
  }
  // What was said at the visits scheduled for `when`, more than one when reminders fall on
  // the same second: for each, the first phrase spoken after it began.
  std::vector<std::string> saidAt(const std::string& when) const {
    const std::string log = program->log();
    const std::string visit = "performing visit scheduled for " + when;
    const std::string speaking = "speaking: ";
    std::vector<std::string> said;
    for (auto at = log.find(visit); at != std::string::npos; at = log.find(visit, at + 1)) {
      const auto phrase = log.find(speaking, at);
      if (phrase == std::string::npos) break;
      const auto from = phrase + speaking.size();
      said.push_back(log.substr(from, log.find('\n', from) - from));
    }
    return said;
  }
  bool closes(const std::string& window) { return waitForInactive(window); }
  bool choose(const std::vector<std::string>& path) {
    if (tray->choose(path)) return true;
    ADD_FAILURE() << "no enabled entry " << path.back() << " in\n" << tray->lastLayout();
    return false;
  }
  bool choose(const std::vector<std::string>& path, const std::string& window) {
    return choose(path) && activeIs(window);
  }
  // The first label of the tray's menu that starts with `start`.
  std::string trayLabel(const std::string& start) {
    for (const auto& entry : tray->read()) {
      if (entry.label.rfind(start, 0) == 0) return entry.label;
    }
    return {};
  }
  bool type(const std::string& text) {
    return desktop->shell("xdotool type --delay 10 " + testing::quoted(text));
  }
  bool keys(const std::string& names, int times = 1) {
    std::string all;
    for (int i = 0; i < times; ++i) all += " " + names;
    return desktop->shell("xdotool key --delay 60" + all);
  }
  // A click at a point of the window that has the keyboard.
  bool click(int x, int y) {
    const bool clicked = desktop->shell("xdotool mousemove --window $(xdotool getactivewindow) " +
                                        std::to_string(x) + " " + std::to_string(y) + " click 1");
    settle();
    return clicked;
  }
  // A change drawn before the next step.
  void settle() { settled(); }

  Preferences preferences() const {
    FileRecordStore records(home.path() / ".config/vorlane");
    return RecordPreferencesStore(records).preferences();
  }
  bool preferencesSoon(const std::function<bool(const Preferences&)>& holds) const {
    return testing::waitUntil([&] { return holds(preferences()); }, 30s);
  }
  std::vector<Reminder> reminders() const {
    return FileReminderStore(program->remindersFile()).reminders();
  }
  Reminder reminder(const std::string& phrase) const {
    for (const Reminder& r : reminders()) {
      if (r.phrase == phrase) return r;
    }
    throw std::runtime_error("no stored reminder " + phrase);
  }
  std::vector<FocusHistoryEntry> history() const {
    FileRecordStore records(home.path() / ".config/vorlane");
    RecordFocusHistoryStore store(&records);
    return store.entries();
  }
  DailyPriorities priorities() const {
    FileRecordStore records(home.path() / ".config/vorlane");
    return RecordDailyPrioritiesStore(&records).plan();
  }
  std::string recovery() const {
    return testing::readFile(program->configFile(RecordFocusRecoveryStore::key)).value_or("");
  }
  // The log's error and fault lines, but for the one the compressed clock provokes: on a
  // loaded machine the sound server may not open a stream within the sped-up timeouts, and
  // that phrase goes unheard.
  std::vector<std::string> errorLines() const {
    std::vector<std::string> found;
    std::istringstream lines(program->log());
    for (std::string line; std::getline(lines, line);) {
      const bool error =
          line.find(" error: ") != std::string::npos || line.find(" fault: ") != std::string::npos;
      if (error && !line.ends_with("error: no audio output for speech")) found.push_back(line);
    }
    return found;
  }
  bool raiseWindow(const std::string& title) {
    return desktop->shell("xdotool search --onlyvisible --name " + testing::quoted(title) +
                          " windowactivate --sync") &&
           activeIs(title);
  }
  static std::string stamp(Date when) { return describeDate(when); }
  static std::string stamp(std::time_t when) { return stamp(Date::fromUnix(double(when))); }

  void mondayMorning();
  void mondayPreferences();
  void tuesdayFocus();
  void wednesdayPriorities();
  void thursdayCalendar();
  void fridayQuiet();
  void saturdayReflection();
  void recordsAreWhatTheUserDid();

  std::unique_ptr<testing::TrayMenu> tray;
  QImage empty;
  std::time_t runStart = 0;
  int lastHour = 21;
  std::map<std::string, size_t> counted;
  size_t runs = 0;                // the program's launches so far
  std::set<std::time_t> dropped;  // hours the machine slept through
  UUID summaryID;                 // the priority Wednesday's focus was on
};

}  // namespace vorlane::e2e::week
