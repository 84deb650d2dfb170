// The resume note and the focus history on a whole desktop. A next step typed after a pause
// survives a kill and is shown before resuming; a finished focus marked accomplished from the
// tray opens the history, and a row deleted there by keyboard leaves the stored history.
#include <nlohmann/json.hpp>

#include "tests/e2e/scenario.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {
namespace {

constexpr int historySpeed = 6;

class HistoryScenario : public Scenario {
 protected:
  void startWithTrayHost(std::time_t start) {
    startDesktop();
    tray = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
    ASSERT_TRUE(tray->ready()) << "the stand-in watcher did not start";
    seedPreferences();
    launch(start, historySpeed);
    ASSERT_TRUE(tray->waitForItem(startLimit)) << "the icon never reached the tray host";
  }
  bool activeIs(const std::string& window) { return waitForActive(window); }
  bool type(const std::string& text) {
    return desktop->shell("xdotool type --delay 10 " + testing::quoted(text));
  }
  bool key(const std::string& name) { return desktop->shell("xdotool key " + name); }
  // A command typed into the quick window and sent with Return; the window it opens instead
  // of an answer then has the keyboard, so nothing more is pressed here.
  bool sendCommand(const std::string& command, size_t registrations = 1) {
    return program->waitForLine("hotkey registered with identifier 2", startLimit, registrations) &&
           key("ctrl+alt+space") && activeIs(quickCommandTitle) && type(command) && key("Return");
  }
  std::string stored(const std::string& key) {
    return testing::readFile(program->configFile(key)).value_or("");
  }

  std::unique_ptr<testing::TrayMenu> tray;
};

TEST_F(HistoryScenario, ANextStepSurvivesAKillAndIsShownBeforeResuming) {
  startDesktop();
  seedPreferences();
  launch(at("09:10:00"), historySpeed);
  ASSERT_TRUE(typeCommand("focus 25m write the report"));
  ASSERT_TRUE(program->waitForLine("started a 25 minute session", 60s));

  // Pausing asks for the next step, and the note field has the keys at once.
  ASSERT_TRUE(sendCommand("pause"));
  ASSERT_TRUE(program->waitForLine("session paused", 60s));
  ASSERT_TRUE(activeIs("Leave yourself a next step")) << activeWindowName();
  ASSERT_TRUE(type("call   Sam about the totals") && key("Return"));
  ASSERT_TRUE(testing::waitUntil(
      [&] {
        return stored("focusRecovery.v1").find("call Sam about the totals") != std::string::npos;
      },
      60s))
      << stored("focusRecovery.v1");

  const auto status = program->stop(SIGKILL);
  ASSERT_TRUE(status && WIFSIGNALED(*status));
  launch(at("10:30:00"), historySpeed);

  // Resuming shows the note first; Return resumes.
  ASSERT_TRUE(sendCommand("resume", 2));
  ASSERT_TRUE(activeIs("Where was I?")) << activeWindowName();
  settled("history-where-was-i");
  EXPECT_EQ(program->count("session resumed"), 0u) << "not before the note was read";
  ASSERT_TRUE(key("Return"));
  EXPECT_TRUE(program->waitForLine("session resumed", 60s));
  EXPECT_TRUE(waitForInactive("Where was I?"));
  EXPECT_EQ(program->count(" fault: "), 0u);
}

TEST_F(HistoryScenario, AFocusMarkedAccomplishedOpensTheHistoryWhereDeleteEmptiesIt) {
  startWithTrayHost(at("09:10:00"));
  ASSERT_TRUE(typeCommand("focus 1m write the report"));
  ASSERT_TRUE(program->waitForLine("session complete, 1 done today", program->real(120) + 30s));
  ASSERT_TRUE(tray->choose({"Mark accomplished"})) << tray->lastLayout();
  ASSERT_TRUE(activeIs("Focus history")) << activeWindowName();
  EXPECT_TRUE(testing::waitUntil(
      [&] { return stored("focusHistory").find("accomplishedAt") != std::string::npos; }, 60s))
      << stored("focusHistory");
  settled("history-accomplished");

  // The keyboard starts on the row's only button, Delete.
  ASSERT_TRUE(key("space"));
  EXPECT_TRUE(testing::waitUntil(
      [&] {
        const auto history = nlohmann::json::parse(stored("focusHistory"), nullptr, false);
        return history.is_array() && history.empty();
      },
      60s))
      << stored("focusHistory");
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
