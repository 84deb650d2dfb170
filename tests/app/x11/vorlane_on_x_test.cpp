// The installed program on a desktop of its own (openbox, with xcompmgr blending or no
// compositor at all), its own home folder, and its clock placed just before eleven, so that
// the hourly visit comes within a minute.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/persistence/file_record_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "tests/support/image_pixels.h"
#include "tests/support/program_run.h"
#include "tests/support/x11_peer.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using testing::waitUntil;

// Generous: a loaded two-core machine starts Qt, openbox and the compositor slowly.
constexpr auto startLimit = 60s;
constexpr auto visitLimit = 150s;

constexpr std::uint32_t backdropPixel = 0x2a7f3c;
const QColor backdrop(0x2a, 0x7f, 0x3c);
const QRect column(940, 0, 340, 800);  // the right edge of a 1280x800 screen
// The saved vertical fraction 0.5 lowers the peeking character by half of 800 - 460.
constexpr double savedVertical = 0.5;
constexpr int topInset = 170;
// Qt's name for Xvfb's only display.
constexpr const char* screenName = "screen";

// Pixels of `area` that are not the backdrop, and those that are pure black: the character
// has a few black ones (its eyes); a window whose transparent pixels are shown without a
// compositor has many.
int characterPixels(const QImage& shot, QRect area) {
  return pixelsWhere(
      shot, [](const QColor& c) { return c != backdrop; }, area);
}
int blackPixels(const QImage& shot, QRect area) {
  return pixelsWhere(
      shot, [](const QColor& c) { return c == QColor(0, 0, 0); }, area);
}
constexpr int characterBlackPixels = 40;
// Its eyes grow a little in some poses of the climb; a trail is a strip as wide as it is.
constexpr int climbingBlackPixels = 80;

class VorlaneOnX : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(testing::fakeTimeLibrary)) << "libfaketime is missing";
    desktop = std::make_unique<testing::DesktopSession>(testing::DesktopPieces{
        .compositor = GetParam(), .tray = false, .notifications = false, .sound = false});
    ASSERT_TRUE(desktop->ready()) << desktop->failure();
    setenv("DISPLAY", desktop->display().c_str(), 1);
    peer = std::make_unique<testing::X11Peer>();
    ASSERT_TRUE(peer->ok());
    below = peer->backdrop(backdropPixel);
    program = std::make_unique<testing::ProgramRun>(*desktop, home.path());
    seedSettings();
  }

  void TearDown() override {
    if (HasFailure() && program) std::cerr << "--- program log ---\n" << program->log();
    program.reset();
    peer.reset();  // the server destroys its windows
    desktop.reset();
  }

  // Welcomed already, the character half-way down its free span, and a paused focus.
  void seedSettings() {
    FileRecordStore records(configFolder());
    RecordPreferencesStore preferences(records);
    preferences.modify([](Preferences& p) {
      p.hasCompletedOnboarding = true;
      p.mascotPlacements.insert_or_assign(screenName, MascotPlacement(1.0, savedVertical));
    });
    RecordFocusRecoveryStore recovery(&records);
    checkpoint = FocusCheckpoint{{UUID::random(), "Write the report", 900, 600, false},
                                 "Outline first",
                                 false,
                                 std::nullopt};
    recovery.save(checkpoint);
  }

  std::filesystem::path configFolder() const { return home.path() / ".config/vorlane"; }
  std::filesystem::path checkpointFile() const {
    return configFolder() / FileRecordStore::fileName(RecordFocusRecoveryStore::key);
  }

  // At 10:59:40 UTC, at real speed, Qt's timers on the real monotonic clock. No sound
  // server: speech says it has no output and the visit goes on.
  void startProgram() {
    ASSERT_TRUE(program->start({"UTC", testing::localTime("UTC", "2025-06-02 10:59:40"), 1},
                               {"DONT_FAKE_MONOTONIC=1"}));
  }

  // The program's top-level window that the window manager shows.
  xcb_window_t programWindow() {
    for (std::uint32_t w : peer->words(peer->root, "_NET_CLIENT_LIST")) {
      const auto pid = peer->words(w, "_NET_WM_PID");
      if (!pid.empty() && pid[0] == std::uint32_t(program->pid()) && peer->viewable(w)) return w;
    }
    return XCB_WINDOW_NONE;
  }

  QImage screenshot(const std::string& name) {
    const auto file = desktop->folder() / (name + ".png");
    if (!desktop->screenshot(file)) return {};
    QImage image(QString::fromStdString(file.string()));
    if (const char* keep = std::getenv("VORLANE_KEEP_SCREENSHOTS")) {
      image.save(QString::fromStdString(std::string(keep) + "/vorlane-" +
                                        (GetParam() ? "composited-" : "plain-") + name + ".png"));
    }
    return image.convertToFormat(QImage::Format_RGB32);
  }

  // Takes screenshots until one satisfies `ready` or `limit` passes; the last one taken.
  // With `still`, only a screenshot equal to the one before counts: nothing was moving.
  template <typename Predicate>
  QImage screenshotWhen(const std::string& name, Predicate ready, std::chrono::seconds limit,
                        bool still = false) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QImage shot, previous;
    do {
      previous = shot;
      shot = screenshot(name);
      if (!shot.isNull() && (!still || shot == previous) && ready(shot)) return shot;
      std::this_thread::sleep_for(100ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return shot;
  }

  testing::TempFolder home;
  std::unique_ptr<testing::DesktopSession> desktop;
  std::unique_ptr<testing::X11Peer> peer;
  std::unique_ptr<testing::ProgramRun> program;
  xcb_window_t below = XCB_WINDOW_NONE;
  FocusCheckpoint checkpoint;
};

TEST_P(VorlaneOnX, PeeksAtItsPlaceTellsTheHourAndSavesTheFocusOnTerm) {
  startProgram();
  xcb_window_t window = XCB_WINDOW_NONE;
  ASSERT_TRUE(waitUntil([&] { return (window = programWindow()) != XCB_WINDOW_NONE; }, startLimit));
  EXPECT_TRUE(waitUntil([&] { return peer->origin(window) == column.topLeft(); }))
      << "at the right edge: " << peer->origin(window).x() << "," << peer->origin(window).y();
  EXPECT_TRUE(peer->holds(window, "_NET_WM_STATE", "_NET_WM_STATE_ABOVE"));
  EXPECT_NE(peer->focus(), window) << "it takes no focus";

  // Peeking at the saved height: the character below the top inset, only its rope above.
  const QRect peekArea(column.x(), topInset, column.width(), 160);
  const QRect ropeArea(column.x(), 20, column.width(), topInset - 40);
  const QImage peeking = screenshotWhen(
      "peeking", [&](const QImage& s) { return characterPixels(s, peekArea) > 400; }, startLimit,
      true);
  ASSERT_FALSE(peeking.isNull());
  EXPECT_GT(characterPixels(peeking, peekArea), 400) << "the character is on show";
  EXPECT_LE(characterPixels(peeking, ropeArea), 12 * ropeArea.height())
      << "above the saved height there is only the rope";
  // Beside the character the window lets the one below show through: never a black box.
  const QRect emptyPart(column.x(), 500, 200, 300);
  EXPECT_EQ(characterPixels(peeking, emptyPart), 0);
  EXPECT_EQ(characterPixels(peeking, QRect(0, 0, column.x(), 800)), 0) << "nothing beside it";

  // A click on the empty part of the column reaches the window below.
  peer->pressesOn(below);
  const QPoint empty = emptyPart.center();
  ASSERT_TRUE(desktop->shell("xdotool mousemove " + std::to_string(empty.x()) + " " +
                             std::to_string(empty.y()) + " click 1"));
  int presses = 0;
  EXPECT_TRUE(waitUntil([&] { return (presses += peer->pressesOn(below)) == 1; }));

  // The hour: the character climbs down, says the time and climbs back.
  ASSERT_TRUE(program->waitForLine(
      "vorlane[presentation] info: performing visit scheduled for 2025-06-02 11:00:00 +0000",
      visitLimit));
  const QRect lowerArea(column.x(), topInset + 180, column.width(), 800 - topInset - 180);
  // Every screenshot while it climbs, with or without a compositor: the area it just left
  // shows the window below, never black.
  int mostBlack = 0;
  const auto noted = [&](const QImage& s) {
    mostBlack = std::max(mostBlack, blackPixels(s, column));
    return s;
  };
  const QImage down = screenshotWhen(
      "visit", [&](const QImage& s) { return characterPixels(noted(s), lowerArea) > 400; }, 30s);
  EXPECT_GT(characterPixels(down, lowerArea), 400) << "climbed down during the visit";
  EXPECT_EQ(characterPixels(down, QRect(0, 0, column.x() - 200, 800)), 0);
  EXPECT_GE(program->count("vorlane[speech] info: speaking: It's eleven o'clock"), 1u);
  // Settled: back up, and once nothing moves every pixel outside the character's own shows
  // the window below. The paused focus keeps its pose between visits, so "back" is the pose
  // held before.
  const int lowerBefore = characterPixels(peeking, lowerArea);
  const auto backInPlace = [&](const QImage& s) {
    return std::abs(characterPixels(s, lowerArea) - lowerBefore) <= 100;
  };
  const QImage back = screenshotWhen(
      "after", [&](const QImage& s) { return backInPlace(noted(s)); }, 60s, true);
  EXPECT_TRUE(backInPlace(back)) << "climbed back after the visit";
  EXPECT_GT(characterPixels(back, peekArea), 400) << "and is on show again";
  EXPECT_LE(blackPixels(back, column), characterBlackPixels) << "no black where nothing is";
  EXPECT_LE(mostBlack, climbingBlackPixels) << "no black trail while it climbed";

  // Logout: SIGTERM ends it cleanly and the paused focus is stored again.
  std::filesystem::remove(checkpointFile());
  const auto status = program->stop(SIGTERM);
  ASSERT_TRUE(status.has_value()) << "still running 30 s after SIGTERM";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
  EXPECT_GE(program->count("vorlane[lifecycle] info: Vorlane terminating"), 1u);
  ASSERT_TRUE(std::filesystem::exists(checkpointFile())) << "the checkpoint was written";
  FileRecordStore records(configFolder());
  RecordFocusRecoveryStore saved(&records);
  EXPECT_EQ(saved.document().value(), std::optional<FocusCheckpoint>(checkpoint));
}

INSTANTIATE_TEST_SUITE_P(Compositor, VorlaneOnX, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "xcompmgr" : "none"; });

}  // namespace
}  // namespace vorlane
