// A picture of every window and every preferences panel, taken on a whole desktop after
// opening each as the user does (the tray's menu, the mascot's menu, the hot key), over a
// week of realistic content: reminders, a focus history, today's priorities, a meeting in a
// calendar file and a paused focus. Each picture is the window with its frame, cut from the
// screen once it has stopped changing; pictures go to $VORLANE_SCREENSHOTS when set.
#include <QColor>
#include <fstream>
#include <thread>

#include "core/reminders/reminder.h"
#include "platform/persistence/file_reminder_store.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "tests/e2e/calendar_focus_scenario.h"
#include "tests/e2e/changed_bands.h"
#include "tests/e2e/scenario.h"
#include "tests/e2e/sign_rows.h"
#include "tests/e2e/window_shot.h"
#include "tests/support/image_pixels.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {
namespace {

// A Friday, so that the week holds five days of focus before it.
constexpr const char* friday = "2026-04-03";
const QRect screen(0, 0, 1280, 800);
// The right edge, where the character hangs: the part shown of the desktop.
const QRect column(940, 0, 340, 800);
const QRect desktopPart(840, 0, 440, 480);

std::time_t onFriday(const std::string& localTime) { return atOn(friday, localTime); }
Date dateOf(const std::string& date, const std::string& localTime) {
  return Date::fromUnix(double(atOn(date, localTime)));
}

std::string meeting(const std::string& uid, const std::string& summary, std::time_t start,
                    int minutes) {
  return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nDTSTAMP:" + utcStamp(start - 86400) +
         "\r\nDTSTART:" + utcStamp(start) + "\r\nDTEND:" + utcStamp(start + minutes * 60) +
         "\r\nSUMMARY:" + summary + "\r\nEND:VEVENT\r\n";
}

class ScreenshotScenario : public Scenario {
 protected:
  void startWithTrayHost() {
    startDesktop();
    tray = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
    ASSERT_TRUE(tray->ready()) << "the stand-in watcher did not start";
  }
  void launchWithTray(std::time_t start) {
    launch(start, 1);
    ASSERT_TRUE(tray->waitForItem(startLimit)) << "the icon never reached the tray host";
  }

  // A few reminders ahead, a week of finished focus, today's priorities (one done, one left
  // from yesterday) and two meetings in a calendar file.
  void seedWeek() {
    {
      FileReminderStore reminders(program->remindersFile());
      const Date created = dateOf("2026-04-02", "17:00:00");
      reminders.add(Reminder(UUID::random(), "call the dentist",
                             VisitTrigger::oneOff(dateOf(friday, "15:30:00")), created));
      reminders.add(Reminder(UUID::random(), "water the plants",
                             VisitTrigger::oneOff(dateOf(friday, "18:00:00")), created));
      reminders.add(
          Reminder(UUID::random(), "stand up and stretch", VisitTrigger::hourly(), created));
    }
    FileRecordStore records(home.path() / ".config/vorlane");
    UUID report;
    RecordDailyPrioritiesStore(&records).apply([&](DailyPriorities& plan) {
      const Calendar calendar(zone, "en_US");
      plan.add("Book the train to Hamburg", dateOf("2026-04-02", "08:50:00"), calendar);
      report = plan.add("Finish the quarterly report", dateOf(friday, "08:40:00"), calendar);
      const UUID review = plan.add("Review Lena's slides", dateOf(friday, "08:41:00"), calendar);
      plan.add("Reply to the landlord", dateOf(friday, "08:42:00"), calendar);
      plan.markAccomplished(review, dateOf(friday, "08:55:00"));
    });
    const auto finished = [](const std::string& goal, double minutes, const std::string& date,
                             const std::string& time, bool accomplished = false) {
      const Date when = dateOf(date, time);
      return FocusHistoryEntry{UUID::random(),
                               goal,
                               minutes * 60,
                               when,
                               accomplished ? std::optional(when) : std::nullopt,
                               std::nullopt};
    };
    RecordFocusHistoryStore(&records).document().save({
        finished("Finish the quarterly report", 25, friday, "09:05:00"),
        finished("Review Lena's slides", 25, friday, "08:35:00", true),
        finished("Sketch the onboarding flow", 50, "2026-04-02", "15:10:00", true),
        finished("Inbox to zero", 15, "2026-04-02", "10:20:00"),
        finished("Quarterly report: figures", 45, "2026-04-01", "14:00:00", true),
        finished("Read the design notes", 25, "2026-03-31", "11:30:00"),
        finished("Plan the week", 20, "2026-03-30", "09:15:00", true),
        finished("Tidy the backlog", 30, "2026-03-26", "16:00:00"),
        finished("Budget draft", 50, "2026-03-24", "10:00:00", true),
    });
    const auto calendars = home.path() / ".local/share/Vorlane/calendars";
    std::filesystem::create_directories(calendars);
    std::ofstream(calendars / "work.ics")
        << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Scenario//EN\r\n"
        << meeting("standup@scenario", "Team stand-up", onFriday("09:30:00"), 15)
        << meeting("review@scenario", "Design review", onFriday("11:00:00"), 60)
        << meeting("lunch@scenario", "Lunch with Sam", onFriday("12:30:00"), 60)
        << "END:VCALENDAR\r\n";
  }

  bool opened(const std::string& window) {
    if (waitForActive(window)) return true;
    ADD_FAILURE() << "expected \"" << window << "\" to have the keyboard, not \""
                  << activeWindowName() << "\"";
    return false;
  }
  bool choose(const std::vector<std::string>& path, const std::string& window) {
    if (!tray->choose(path)) {
      ADD_FAILURE() << "no enabled entry " << path.back() << " in\n" << tray->lastLayout();
      return false;
    }
    return opened(window);
  }
  bool closed(const std::string& window) { return key("Escape") && waitForInactive(window); }
  bool type(const std::string& text) {
    return desktop->shell("xdotool type --delay 10 " + testing::quoted(text));
  }
  bool key(const std::string& name) { return desktop->shell("xdotool key --delay 60 " + name); }
  // The hot key, then `command` and Return in the quick command window.
  bool sendCommand(const std::string& command) {
    return program->waitForLine("hotkey registered with identifier 2", startLimit) &&
           key("ctrl+alt+space") && opened(quickCommandTitle) && type(command) && key("Return");
  }

  QImage wholeScreen() {
    const auto file = desktop->folder() / "screen.png";
    if (!desktop->screenshot(file)) return {};
    return QImage(QString::fromStdString(file.string())).convertToFormat(QImage::Format_RGB32);
  }
  // `area` of the screen once two looks a moment apart differ by no more than a blinking
  // text cursor: a window still drawing or sliding in is waited for.
  QImage settled(QRect area) {
    QImage last = wholeScreen().copy(area);
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(400ms);
      const QImage now = wholeScreen().copy(area);
      if (!now.isNull() && changedPixels(last, now, now.rect()) <= 60) return now;
      last = now;
    }
    ADD_FAILURE() << "the window kept changing";
    return last;
  }

  // The window with the keyboard, which must be `title`, with its frame.
  void shootWindow(const std::string& name, const std::string& title) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(waitForActive(title)) << "the keyboard is in " << activeWindowName();
    const auto id = testing::commandOutput(desktop->withEnvironment("xdotool getactivewindow"));
    ASSERT_TRUE(id) << "no active window";
    const std::string window = std::to_string(std::stoul(*id));
    const auto inside = parseWindowGeometry(
        testing::commandOutput(desktop->withEnvironment("xwininfo -id " + window)).value_or(""));
    ASSERT_TRUE(inside) << "no geometry for " << title;
    const QMargins frame =
        parseFrameExtents(testing::commandOutput(desktop->withEnvironment("xprop -id " + window +
                                                                          " _NET_FRAME_EXTENTS"))
                              .value_or(""));
    const QImage picture = settled(windowArea(*inside, frame, screen));
    EXPECT_EQ(activeWindowName(), title) << "another window came in front";
    keep(name, picture);
  }
  // The screen once `shows` has held for two looks a moment apart (so not while fading in),
  // or none within 30 s.
  QImage steadily(const std::function<bool(const QImage&)>& shows) {
    QImage shot;
    int holding = 0;
    testing::waitUntil(
        [&] {
          shot = wholeScreen();
          holding = shows(shot) ? holding + 1 : 0;
          if (holding < 2) std::this_thread::sleep_for(300ms);
          return holding >= 2;
        },
        30s);
    return holding >= 2 ? shot : QImage();
  }

  // Saved as `name`.png, made smaller when large, and read back.
  void keep(const std::string& name, const QImage& picture) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(drawnOn(picture)) << "a blank picture, " << distinctColours(picture) << " colours";
    const auto folder = screenshotFolder(desktop->folder());
    std::filesystem::create_directories(folder);
    const auto file = folder / (name + ".png");
    const QString path = QString::fromStdString(file.string());
    ASSERT_TRUE(picture.save(path));
    if (std::filesystem::file_size(file) > 150 * 1024) {
      EXPECT_TRUE(testing::commandOutput("convert " + testing::quoted(file.string()) +
                                         " -colors 256 PNG8:" + testing::quoted(file.string())));
    }
    const QImage stored(path);
    EXPECT_EQ(stored.size(), picture.size());
    EXPECT_TRUE(drawnOn(stored)) << "blank once saved";
  }

  std::unique_ptr<testing::TrayMenu> tray;
};

// First launch: the welcome; then the hour said in a bubble, and a focus with its sign and the
// pills the pointer brings.
TEST_F(ScreenshotScenario, TheWelcomeTheHourAndAFocusOnTheDesktop) {
  startDesktop();
  seedPreferences([](Preferences& p) { p.hasCompletedOnboarding = false; });
  const QImage empty = wholeScreen();
  launch(at("09:59:25"), 1);
  ASSERT_TRUE(opened("Welcome to Vorlane"));
  shootWindow("welcome", "Welcome to Vorlane");
  ASSERT_TRUE(closed("Welcome to Vorlane"));

  ASSERT_TRUE(program->waitForLine(visitLine(at("10:00:00")), 60s)) << "no visit at ten";
  const auto bubbleFill = [](const QColor& c) {
    return c.red() >= 240 && c.green() >= 240 && c.blue() >= 240;
  };
  const QImage hour =
      steadily([&](const QImage& shot) { return pixelsWhere(shot, bubbleFill, column) > 1000; });
  ASSERT_FALSE(hour.isNull()) << "no speech bubble beside the character";
  keep("desktop-hour", hour.copy(desktopPart));

  // Under the sign, the character is found on its rope, which hangs from the top edge.
  ASSERT_TRUE(typeCommand("focus 25m write the report"));
  ASSERT_TRUE(program->waitForLine("started a 25 minute session", 60s));
  const QImage working =
      steadily([&](const QImage& shot) { return signRows(empty, shot, column) >= 10; });
  ASSERT_FALSE(working.isNull()) << "no sign on the mascot";
  const auto rope = changedBands(empty, working, QRect(column.left(), 0, column.width(), 30), 1);
  ASSERT_FALSE(rope.empty()) << "no rope at the top of the column";
  const int ropeX = rope.front().x();
  const auto character = changedBands(empty, working, QRect(ropeX - 25, 0, 50, 800), 12);
  ASSERT_FALSE(character.empty()) << "no character on the rope";
  ASSERT_TRUE(desktop->shell("xdotool mousemove " + std::to_string(ropeX) + " " +
                             std::to_string(character.back().y())));
  const QImage pills =
      steadily([&](const QImage& shot) { return changedPixels(working, shot, column) > 1500; });
  ASSERT_FALSE(pills.isNull()) << "no pills beside the character";
  keep("desktop-focus", pills.copy(desktopPart));
  EXPECT_EQ(program->count(" fault: "), 0u);
}

// Every feature window, over the seeded week.
TEST_F(ScreenshotScenario, TheFeatureWindowsOverAWeekOfContent) {
  startWithTrayHost();
  seedPreferences();
  seedWeek();
  launchWithTray(onFriday("09:10:00"));

  ASSERT_TRUE(choose({"About Vorlane"}, "About Vorlane"));
  shootWindow("about", "About Vorlane");
  ASSERT_TRUE(closed("About Vorlane"));

  ASSERT_TRUE(program->waitForLine("hotkey registered with identifier 2", startLimit));
  ASSERT_TRUE(key("ctrl+alt+space") && opened(quickCommandTitle));
  // Answered in place, and the next command typed under the answer.
  ASSERT_TRUE(type("remind in 2h call the bank") && key("Return"));
  ASSERT_TRUE(program->waitForLine("added reminder: call the bank", 30s));
  ASSERT_TRUE(type("focus 25m"));
  shootWindow("quick-command", quickCommandTitle);
  ASSERT_TRUE(closed(quickCommandTitle));

  ASSERT_TRUE(choose({"Add reminder..."}, "Add reminder"));
  // One added, named in the window, and the next one typed.
  ASSERT_TRUE(type("in 45 minutes take a short walk") && key("Return"));
  ASSERT_TRUE(program->waitForLine("added reminder: take a short walk", 30s));
  ASSERT_TRUE(type("weekdays 9:30am standup"));
  shootWindow("reminder-editor", "Add reminder");
  ASSERT_TRUE(closed("Add reminder"));

  ASSERT_TRUE(choose({"Start Pomodoro..."}, "New focus session"));
  ASSERT_TRUE(type("Finish the quarterly report"));
  shootWindow("focus-session-editor", "New focus session");
  ASSERT_TRUE(closed("New focus session"));

  ASSERT_TRUE(choose({"Just five minutes…"}, "Just five minutes"));
  ASSERT_TRUE(type("Reply to the landlord"));
  shootWindow("just-five-minutes", "Just five minutes");
  ASSERT_TRUE(closed("Just five minutes"));

  const std::string today = "Today \u2014 Vorlane";
  ASSERT_TRUE(choose({"Today \u2014 three priorities\u2026"}, today));
  shootWindow("today", today);
  ASSERT_TRUE(closed(today));

  ASSERT_TRUE(choose({"Focus history…"}, "Focus history"));
  shootWindow("focus-history", "Focus history");
  ASSERT_TRUE(closed("Focus history"));

  const std::string reflection = "Weekly reflection \u2014 Vorlane";
  ASSERT_TRUE(choose({"Weekly reflection…"}, reflection));
  shootWindow("weekly-reflection", reflection);
  ASSERT_TRUE(closed(reflection));

  // Suggestions enabled, the question about the calendars, and the offer once allowed.
  const std::string calendar = "Find a calendar focus window…";
  ASSERT_TRUE(choose({calendar}, focusWindow));
  ASSERT_TRUE(key("Tab") && key("space"));
  ASSERT_TRUE(opened(consentWindow));
  shootWindow("calendar-consent", consentWindow);
  ASSERT_TRUE(key("Return") && opened(focusWindow));
  // The goal field takes keys once the calendars are read.
  ASSERT_TRUE(program->waitForLine("calendar checked: ", 60s));
  ASSERT_TRUE(type("Outline the design review"));
  shootWindow("calendar-focus", focusWindow);
  ASSERT_TRUE(closed(focusWindow));

  // A focus paused asks for the next step; resuming shows it first.
  ASSERT_TRUE(sendCommand("focus 25m Finish the quarterly report"));
  ASSERT_TRUE(program->waitForLine("started a 25 minute session", 60s));
  ASSERT_TRUE(sendCommand("pause"));
  ASSERT_TRUE(program->waitForLine("session paused", 60s));
  ASSERT_TRUE(opened("Leave yourself a next step"));
  ASSERT_TRUE(type("Check the Q1 totals against Sam's sheet"));
  shootWindow("resume-note-next-step", "Leave yourself a next step");
  ASSERT_TRUE(key("Return"));
  ASSERT_TRUE(waitForInactive("Leave yourself a next step"));
  ASSERT_TRUE(sendCommand("resume"));
  ASSERT_TRUE(opened("Where was I?"));
  shootWindow("resume-note", "Where was I?");
  EXPECT_EQ(program->count(" fault: "), 0u);
}

// The preferences window on each of its six panels: the sidebar walked with Down from the
// first, and the mascot's menu opening it on Appearance.
TEST_F(ScreenshotScenario, ThePreferencesWindowOnEachPanel) {
  startWithTrayHost();
  seedPreferences([](Preferences& p) { p.blockedAppIDs = {"zoom", "obs", "libreoffice-impress"}; });
  launchWithTray(at("09:10:00"));
  const std::string title = "Vorlane Preferences";
  ASSERT_TRUE(choose({"Preferences..."}, title));
  shootWindow("preferences-desktop", title);
  ASSERT_TRUE(key("Down Down"));
  shootWindow("preferences-focus", title);
  ASSERT_TRUE(key("Down"));
  shootWindow("preferences-schedule-quiet", title);
  ASSERT_TRUE(key("Down"));
  shootWindow("preferences-voice", title);
  ASSERT_TRUE(key("Down"));
  shootWindow("preferences-general", title);
  ASSERT_TRUE(choose({"Mascot", "Appearance…"}, title));
  shootWindow("preferences-appearance", title);
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
