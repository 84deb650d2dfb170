// The installed program on a desktop of its own: a private X server with openbox (with
// xcompmgr blending, or no compositor at all), a private session bus, its own home folder,
// and its clock placed just before eleven, so that the hourly visit comes within a minute.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <QImage>

#include "platform/persistence/file_record_store.h"
#include "platform/persistence/focus_recovery_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "tests/support/private_dbus.h"
#include "tests/support/xvfb_server.h"
#include "tests/support/x11_peer.h"

namespace vorlane {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
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
constexpr const char* fakeStart = "@2025-06-02 10:59:40";
constexpr const char* fakeTimeLibrary = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1";

std::string readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Pixels of `area` that are not the backdrop.
int characterPixels(const QImage& shot, QRect area) {
  int count = 0;
  area = area.intersected(shot.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (shot.pixelColor(x, y) != backdrop) ++count;
    }
  }
  return count;
}

// Pure black pixels of `area`: the character has a few (its eyes); a window whose
// transparent pixels are shown without a compositor has many.
int blackPixels(const QImage& shot, QRect area) {
  int count = 0;
  area = area.intersected(shot.rect());
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (shot.pixelColor(x, y) == QColor(0, 0, 0)) ++count;
    }
  }
  return count;
}
constexpr int characterBlackPixels = 40;

class VorlaneOnX : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(fakeTimeLibrary)) << "libfaketime is missing";
    xvfb = std::make_unique<testing::XvfbServer>();
    ASSERT_FALSE(xvfb->display().empty()) << "Xvfb did not start";
    setenv("DISPLAY", xvfb->display().c_str(), 1);
    bus = std::make_unique<testing::PrivateDBus>();
    ASSERT_FALSE(bus->address().empty()) << "dbus-daemon did not start";
    windowManager = std::make_unique<ChildProcess>(
        std::vector<std::string>{"openbox", "--sm-disable"}, false,
        std::vector<std::string>{"DBUS_SESSION_BUS_ADDRESS=" + bus->address()});
    peer = std::make_unique<testing::X11Peer>();
    ASSERT_TRUE(peer->ok());
    ASSERT_TRUE(windowManagerIsUp()) << "openbox did not start";
    if (GetParam()) {
      compositor = std::make_unique<ChildProcess>(std::vector<std::string>{"xcompmgr"}, false);
      ASSERT_TRUE(waitUntil([&] { return peer->ownsSelection("_NET_WM_CM_S0"); }, startLimit))
          << "xcompmgr did not start";
    }
    // Another application's window under the whole screen, unmanaged, at the bottom.
    below = peer->coloredWindow(QRect(0, 0, 1280, 800), backdropPixel);
    xcb_map_window(peer->c, below);
    const std::uint32_t bottom = XCB_STACK_MODE_BELOW;
    xcb_configure_window(peer->c, below, XCB_CONFIG_WINDOW_STACK_MODE, &bottom);
    peer->sync();
    seedSettings();
  }

  void TearDown() override {
    program.reset();
    if (peer && below != XCB_WINDOW_NONE) {
      xcb_destroy_window(peer->c, below);
      peer->sync();
    }
    peer.reset();
    compositor.reset();
    windowManager.reset();
    bus.reset();
    xvfb.reset();
  }

  bool windowManagerIsUp() {
    const xcb_window_t probe = peer->coloredWindow(QRect(0, 0, 10, 10), 0, false);
    xcb_map_window(peer->c, probe);
    peer->sync();
    const bool framed =
        waitUntil([&] { return !peer->words(probe, "_NET_FRAME_EXTENTS").empty(); }, startLimit);
    xcb_destroy_window(peer->c, probe);
    peer->sync();
    return framed;
  }

  // Welcomed already, the character half-way down its free span, and a paused focus.
  void seedSettings() {
    for (const char* sub : {".config", ".local/share", ".local/state", ".cache", "runtime"}) {
      std::filesystem::create_directories(home / sub);
    }
    std::filesystem::permissions(home / "runtime", std::filesystem::perms::owner_all);
    FileRecordStore records(configFolder());
    RecordPreferencesStore preferences(records);
    preferences.modify([](Preferences& p) {
      p.hasCompletedOnboarding = true;
      p.mascotPlacements.insert_or_assign(screenName, MascotPlacement(1.0, savedVertical));
    });
    FocusRecoveryStore recovery(&records);
    checkpoint = FocusCheckpoint{{UUID::random(), "Write the report", 900, 600, false},
                                 "Outline first", false, std::nullopt};
    recovery.save(checkpoint);
  }

  std::filesystem::path configFolder() const { return home / ".config/vorlane"; }
  std::filesystem::path checkpointFile() const {
    return configFolder() / FileRecordStore::fileName(FocusRecoveryStore::key);
  }
  std::string log() const { return readAll(logFile); }

  void startProgram() {
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("JOURNAL_STREAM");
    const std::string h = home.path().string();
    program = std::make_unique<ChildProcess>(
        std::vector<std::string>{VORLANE_PROGRAM}, false,
        std::vector<std::string>{
            "DBUS_SESSION_BUS_ADDRESS=" + bus->address(),
            "DBUS_SYSTEM_BUS_ADDRESS=" + bus->address(),
            "HOME=" + h,
            "XDG_CONFIG_HOME=" + h + "/.config",
            "XDG_DATA_HOME=" + h + "/.local/share",
            "XDG_STATE_HOME=" + h + "/.local/state",
            "XDG_CACHE_HOME=" + h + "/.cache",
            "XDG_RUNTIME_DIR=" + h + "/runtime",
            "XDG_CURRENT_DESKTOP=",
            "QT_QPA_PLATFORM=xcb",
            "TZ=UTC",
            "LC_ALL=C.UTF-8",
            "LANG=C.UTF-8",
            // No sound server: speech says it has no output and the visit goes on.
            "PULSE_SERVER=unix:" + h + "/no-pulse",
            std::string("LD_PRELOAD=") + fakeTimeLibrary,
            std::string("FAKETIME=") + fakeStart,
            // Qt's timers run on the real monotonic clock.
            "DONT_FAKE_MONOTONIC=1",
        },
        logFile.string());
    ASSERT_TRUE(program->started());
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
    const auto file = folder / (name + ".png");
    if (!testing::run("import -window root " + file.string())) return {};
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

  testing::TempFolder home, folder;
  std::filesystem::path logFile = folder / "vorlane.log";
  std::unique_ptr<testing::XvfbServer> xvfb;
  std::unique_ptr<testing::PrivateDBus> bus;
  std::unique_ptr<ChildProcess> windowManager, compositor, program;
  std::unique_ptr<testing::X11Peer> peer;
  xcb_window_t below = XCB_WINDOW_NONE;
  FocusCheckpoint checkpoint;
};

TEST_P(VorlaneOnX, PeeksAtItsPlaceTellsTheHourAndSavesTheFocusOnTerm) {
  startProgram();
  xcb_window_t window = XCB_WINDOW_NONE;
  ASSERT_TRUE(waitUntil([&] { return (window = programWindow()) != XCB_WINDOW_NONE; },
                        startLimit))
      << log();
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
  ASSERT_TRUE(testing::run("xdotool mousemove " + std::to_string(empty.x()) + " " +
                           std::to_string(empty.y()) + " click 1"));
  int presses = 0;
  EXPECT_TRUE(waitUntil([&] { return (presses += peer->pressesOn(below)) == 1; }));

  // The hour: the character climbs down, says the time and climbs back.
  const std::string visitLine =
      "vorlane[presentation] info: performing visit scheduled for 2025-06-02 11:00:00 +0000";
  ASSERT_TRUE(waitUntil([&] { return log().find(visitLine) != std::string::npos; }, visitLimit))
      << log();
  const QRect lowerArea(column.x(), topInset + 180, column.width(), 800 - topInset - 180);
  const QImage down = screenshotWhen(
      "visit", [&](const QImage& s) { return characterPixels(s, lowerArea) > 400; }, 30s);
  EXPECT_GT(characterPixels(down, lowerArea), 400) << "climbed down during the visit";
  EXPECT_EQ(characterPixels(down, QRect(0, 0, column.x() - 200, 800)), 0);
  EXPECT_NE(log().find("vorlane[speech] info: speaking: It's eleven o'clock"), std::string::npos)
      << log();
  // Settled: back up, and once nothing moves every pixel outside the character's own shows
  // the window below. (While it moves without a compositor, the shown area follows the
  // pixels at most about fifteen times a second, and may briefly show black at its edges.)
  // The paused focus keeps its pose between visits, so "back" is the pose held before.
  const int lowerBefore = characterPixels(peeking, lowerArea);
  const auto backInPlace = [&](const QImage& s) {
    return std::abs(characterPixels(s, lowerArea) - lowerBefore) <= 100;
  };
  const QImage back = screenshotWhen(
      "after",
      [&](const QImage& s) {
        return backInPlace(s) && blackPixels(s, column) <= characterBlackPixels;
      },
      60s, true);
  EXPECT_TRUE(backInPlace(back)) << "climbed back after the visit";
  EXPECT_GT(characterPixels(back, peekArea), 400) << "and is on show again";
  EXPECT_LE(blackPixels(back, column), characterBlackPixels) << "no black where nothing is";

  // Logout: SIGTERM ends it cleanly and the paused focus is stored again.
  std::filesystem::remove(checkpointFile());
  const auto status = program->stop(SIGTERM, 30s);
  ASSERT_TRUE(status.has_value()) << "still running 30 s after SIGTERM";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
  EXPECT_NE(log().find("vorlane[lifecycle] info: Vorlane terminating"), std::string::npos)
      << log();
  ASSERT_TRUE(std::filesystem::exists(checkpointFile())) << "the checkpoint was written";
  FileRecordStore records(configFolder());
  FocusRecoveryStore saved(&records);
  EXPECT_EQ(saved.document().value(), std::optional<FocusCheckpoint>(checkpoint));
}

INSTANTIATE_TEST_SUITE_P(Compositor, VorlaneOnX, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "xcompmgr" : "none"; });

}  // namespace
}  // namespace vorlane
