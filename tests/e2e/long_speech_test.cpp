// A reminder of thousands of words at real speed: the visit comes on time, the program stays
// answering while the words are said, and Mute from the tray silences them at once.
#include <chrono>

#include "core/reminders/reminder.h"
#include "platform/persistence/file_reminder_store.h"
#include "tests/e2e/scenario.h"
#include "tests/support/image_pixels.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {
namespace {

using Clock = std::chrono::steady_clock;

std::string longPhrase() {
  std::string phrase = "stretch";
  for (int i = 0; phrase.size() < 5000; ++i) phrase += " and then word number " + std::to_string(i);
  return phrase;
}

// Whether the null sink heard nothing loud in its last `tenths` tenths of a second.
bool sinkQuiet(const DesktopSession& desktop, int tenths) {
  const auto bytes = testing::readFile(desktop.folder() / "sink.raw").value_or("");
  const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.data());
  const std::size_t count = bytes.size() / 2;
  const std::size_t span = std::size_t(tenths) * DesktopSession::recordingRate / 10;
  if (count < span) return false;
  for (std::size_t i = count - span; i < count; ++i) {
    if (std::abs(int(samples[i])) > 300) return false;
  }
  return true;
}

TEST_F(Scenario, AReminderOfThousandsOfWordsComesOnTimeAndMuteSilencesIt) {
  startDesktop();
  testing::TrayMenu tray(*desktop, VORLANE_FAKE_STATUS_WATCHER);
  ASSERT_TRUE(tray.ready()) << "the stand-in watcher did not start";
  seedPreferences();
  const std::time_t start = at("09:10:00");
  const std::time_t due = start + 30;
  {
    FileReminderStore store(program->remindersFile());
    store.add(Reminder(UUID::random(), longPhrase(),
                       VisitTrigger::oneOff(Date::fromUnix(double(due))),
                       Date::fromUnix(double(start))));
  }
  const QImage empty = screenshot("long-empty");
  ASSERT_TRUE(program->start({zone, start, 1}));
  const auto launched = Clock::now();
  ASSERT_TRUE(program->waitForLine("Vorlane launching", startLimit)) << program->log();
  ASSERT_TRUE(tray.waitForItem(startLimit)) << "the icon never reached the tray host";

  ASSERT_TRUE(program->waitForLine(visitLine(due), 90s));
  EXPECT_LT(Clock::now() - launched, 30s + 5s) << "the visit came late";
  ASSERT_TRUE(program->waitForLine("speaking: stretch", 10s));
  // Climbed down the column while the words are being made.
  const QRect lowerColumn(940, 130, 340, 670);
  EXPECT_TRUE(testing::waitUntil(
      [&] { return changedPixels(empty, screenshot("long-visit"), lowerColumn) > 400; }, 10s));
  ASSERT_TRUE(testing::waitUntil([&] { return desktop->soundBursts() >= 1; }, 20s))
      << "nothing reached the null sink";

  // The menu opens promptly while the words are said.
  const auto asked = Clock::now();
  EXPECT_FALSE(tray.read().empty());
  EXPECT_LT(Clock::now() - asked, 1s) << "the menu was slow to open during speech";
  EXPECT_FALSE(sinkQuiet(*desktop, 5)) << "the speech ended before Mute";

  ASSERT_TRUE(tray.choose({"Mute", "For 15 minutes"})) << tray.lastLayout();
  ASSERT_TRUE(program->waitForLine("muted until", 10s));
  EXPECT_TRUE(testing::waitUntil([&] { return sinkQuiet(*desktop, 10); }, 5s))
      << "the speech went on after Mute";
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
