#include "app/services/bundled_speech.h"

#include <filesystem>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/logging/log_capture.h"
#include "tests/app/services/speech_fakes.h"

namespace vorlane {
namespace {

using testing::FakeAudioOutput;
using Lines = std::vector<LogCapture::Line>;

const Calendar newYork("America/New_York");

Date at(int hour, int minute, int second = 0, const Calendar& calendar = newYork) {
  return *calendar.date(2026, 3, 10, hour, minute, second);
}

const PcmBuffer clipSound{16000, 1, {100, -100, 200, -200}};

TEST(BundledSpeechClips, NamesTheClipOfAFullOrHalfHourOnATwelveHourDial) {
  struct Row {
    const char* name;
    Date date;
    std::optional<std::string> expected;
    Calendar calendar = newYork;
  };
  const Calendar tokyo("Asia/Tokyo");
  const Row rows[] = {
      {"15:00", at(15, 0), "hour-3-00.wav"},
      {"midnight", at(0, 0), "hour-0-00.wav"},
      {"00:30", at(0, 30), "hour-0-30.wav"},
      {"noon shares hour 0", at(12, 0), "hour-0-00.wav"},
      {"12:30", at(12, 30), "hour-0-30.wav"},
      {"23:30", at(23, 30), "hour-11-30.wav"},
      {"seconds are ignored", at(14, 30, 59), "hour-2-30.wav"},
      {"15:07", at(15, 7), std::nullopt},
      {"15:59", at(15, 59), std::nullopt},
      // 09:00 in New York (summer time) is 22:00 in Tokyo.
      {"the calendar's zone decides", at(9, 0), "hour-10-00.wav", tokyo},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(BundledSpeech::clipName(row.date, row.calendar), row.expected);
  }
}

TEST(BundledSpeechClips, FindsClipsThroughTheLocator) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::filesystem::path dir = folder.path().toStdString();
  const ResourceLocator locator({dir});
  EXPECT_FALSE(BundledSpeech::isAvailable(locator));
  EXPECT_EQ(BundledSpeech::clipURL(at(15, 0), newYork, locator), std::nullopt);

  testing::writeFile((dir / "hour-0-00.wav").string(), testing::wavFile(clipSound));
  testing::writeFile((dir / "hour-3-00.wav").string(), testing::wavFile(clipSound));
  EXPECT_TRUE(BundledSpeech::isAvailable(locator));
  EXPECT_EQ(BundledSpeech::clipURL(at(15, 0), newYork, locator), dir / "hour-3-00.wav");
  EXPECT_EQ(BundledSpeech::clipURL(at(15, 7), newYork, locator), std::nullopt);
  EXPECT_EQ(BundledSpeech::clipURL(at(15, 30), newYork, locator), std::nullopt);
}

class BundledSpeechTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    auto owned = std::make_unique<FakeAudioOutput>();
    output = owned.get();
    bundled = std::make_unique<BundledSpeech>(std::move(owned));
  }
  std::filesystem::path file(const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = std::filesystem::path(folder.path().toStdString()) / name;
    testing::writeFile(path.string(), bytes);
    return path;
  }

  QTemporaryDir folder;
  FakeAudioOutput* output = nullptr;
  std::unique_ptr<BundledSpeech> bundled;
  LogCapture log;
  int completions = 0;
  BundledSpeech::Completion count = [this] { ++completions; };
};

TEST_F(BundledSpeechTest, AClipThatCannotBeOpenedIsLoggedAndNotPlayed) {
  struct Row {
    const char* name;
    std::function<std::filesystem::path()> make;
  };
  const Row rows[] = {
      {"missing", [&] { return std::filesystem::path(folder.path().toStdString()) / "hour-3-00.wav"; }},
      {"not audio", [&] { return file("hour-3-00.wav", "It's three o'clock"); }},
      {"empty", [&] { return file("hour-3-00.wav", ""); }},
      {"a folder", [&] {
         const auto dir = std::filesystem::path(folder.path().toStdString()) / "sub" / "hour-3-00.wav";
         std::filesystem::create_directories(dir);
         return dir;
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    LogCapture rowLog;
    EXPECT_FALSE(bundled->play(row.make(), count));
    EXPECT_EQ(rowLog.lines(),
              (Lines{{LogLevel::error, "speech", "could not open bundled clip hour-3-00.wav"}}));
    EXPECT_TRUE(output->played.empty());
    EXPECT_FALSE(bundled->isPlaying());
  }
  EXPECT_EQ(completions, 0);
}

TEST_F(BundledSpeechTest, StopOrANewClipDropsTheCompletionUncalled) {
  const auto clip = file("hour-3-00.wav", testing::wavFile(clipSound));
  int firstCompletions = 0;
  ASSERT_TRUE(bundled->play(clip, [&] { ++firstCompletions; }));
  ASSERT_TRUE(bundled->play(clip, count));
  output->finishAt(0);  // the first clip's late end must not answer for the second
  EXPECT_EQ(firstCompletions, 0);
  EXPECT_EQ(completions, 0);
  EXPECT_TRUE(bundled->isPlaying());

  bundled->stop();
  EXPECT_FALSE(bundled->isPlaying());
  output->finishAt(1);
  EXPECT_EQ(completions, 0);
}

TEST_F(BundledSpeechTest, ACompletionMayStartTheNextClip) {
  const auto clip = file("hour-3-00.wav", testing::wavFile(clipSound));
  ASSERT_TRUE(bundled->play(clip, [&] {
    ++completions;
    EXPECT_TRUE(bundled->play(clip, count));
  }));
  output->finishCurrent();
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(bundled->isPlaying());
  output->finishCurrent();
  EXPECT_EQ(completions, 2);
}

}  // namespace
}  // namespace vorlane
