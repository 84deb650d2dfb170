// Reminders typed into the quick actions window while their folder cannot take them: a full
// disk and a read-only folder, each a small tmpfs mounted over the data folder. The window
// says why in red and keeps what was typed, the tray lists only what is stored, and the same
// Return saves it once the folder takes it again.
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>

#include "core/reminders/reminder.h"
#include "platform/persistence/file_reminder_store.h"
#include "tests/e2e/red_pixels.h"
#include "tests/e2e/scenario.h"
#include "tests/support/tray_menu.h"

namespace vorlane::e2e {
namespace {

// Slow while typing, so that countdowns stay far from their minute.
constexpr int typingSpeed = 10;
constexpr const char* tmpfsOptions = "size=256k,mode=0700";

// A small tmpfs over a folder while it lives; detached at the end, as the program may still
// hold it open.
class MountedFolder {
 public:
  explicit MountedFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, tmpfsOptions) == 0;
    if (!mounted_) error_ = std::strerror(errno);
  }
  ~MountedFolder() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  MountedFolder(const MountedFolder&) = delete;
  MountedFolder& operator=(const MountedFolder&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& error() const { return error_; }

  bool setReadOnly(bool readOnly) {
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return ::mount("tmpfs", folder_.c_str(), "tmpfs", flags, tmpfsOptions) == 0;
  }
  // Writes a file until not one byte more fits; false when something else stopped it.
  bool fill() const {
    const int fd = ::open((folder_ / "filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    const bool full = errno == ENOSPC;
    ::close(fd);
    return full;
  }
  void makeRoom() const { std::filesystem::remove(folder_ / "filler"); }

 private:
  std::filesystem::path folder_;
  bool mounted_ = false;
  std::string error_;
};

class RefusedSaveScenario : public Scenario {
 protected:
  // The data folder on its own tmpfs, a tray host and the program; false (the test skipped)
  // when this machine does not let the test mount.
  bool start() {
    data = std::make_unique<MountedFolder>(home.path() / ".local/share/Vorlane");
    if (!data->mounted()) return false;
    startDesktop();
    tray = std::make_unique<testing::TrayMenu>(*desktop, VORLANE_FAKE_STATUS_WATCHER);
    EXPECT_TRUE(tray->ready()) << "the stand-in watcher did not start";
    seedPreferences();
    launch(at("09:05:00"), typingSpeed);
    EXPECT_TRUE(tray->waitForItem(startLimit)) << "the icon never reached the tray host";
    return !HasFailure();
  }
  bool key(const std::string& name) { return desktop->shell("xdotool key " + name); }
  bool type(const std::string& text) {
    return desktop->shell("xdotool type --delay 10 " + testing::quoted(text));
  }
  bool openQuickActions() {
    return program->waitForLine("hotkey registered with identifier 2", startLimit) &&
           key("ctrl+alt+space") && waitForActive(quickCommandTitle);
  }
  // How many reminder rows of the tray's menu ("<phrase> - <when>") name `phrase`.
  long listed(const std::string& phrase) {
    const auto entries = tray->read();
    const std::string row = "\u2068" + phrase + "\u2069 - ";
    return std::count_if(entries.begin(), entries.end(), [&](const testing::TrayMenuEntry& e) {
      return e.label.rfind(row, 0) == 0;
    });
  }
  std::vector<std::string> stored() const {
    std::vector<std::string> phrases;
    for (const Reminder& r : FileReminderStore(program->remindersFile()).reminders()) {
      phrases.push_back(r.phrase);
    }
    return phrases;
  }
  int redInWindow(const std::string& name) {
    const QRect area = activeWindowArea();
    const QImage shot = screenshot(name);
    return area.isEmpty() || shot.isNull() ? 0 : redPixels(shot.copy(area));
  }

  // One reminder saved, then `fault` makes the folder refuse: the next reminder typed is
  // refused with the system's `reason` in the log, shown in red, not listed and not stored;
  // `lift` mends the folder, and Return alone saves the text still in the field.
  void typeThroughAFault(const std::function<bool()>& fault, const std::string& reason,
                         const std::function<bool()>& lift) {
    ASSERT_TRUE(openQuickActions()) << "the window never had the keys";
    ASSERT_TRUE(type("remind in 30m water") && key("Return"));
    ASSERT_TRUE(program->waitForLine("added reminder: water", 30s));
    ASSERT_TRUE(fault());
    settled("before-refusal");
    const int redBefore = redInWindow("before-refusal");

    ASSERT_TRUE(type("remind in 40m stretch") && key("Return"));
    ASSERT_TRUE(program->waitForLine("could not save reminders: ", 30s));
    EXPECT_EQ(program->count(reason), 1u) << "the log says why";
    EXPECT_TRUE(testing::waitUntil([&] { return redInWindow("refused") > redBefore + 30; }, 60s))
        << "no red refusal in the window";
    EXPECT_EQ(activeWindowName(), quickCommandTitle) << "still open for another try";
    EXPECT_EQ(program->count("added reminder: stretch"), 0u);
    EXPECT_EQ(listed("water"), 1) << tray->lastLayout();
    EXPECT_EQ(listed("stretch"), 0) << "listed but not stored:\n" << tray->lastLayout();
    EXPECT_EQ(stored(), std::vector<std::string>{"water"});

    ASSERT_TRUE(lift());
    ASSERT_EQ(activeWindowName(), quickCommandTitle);
    ASSERT_TRUE(key("Return"));
    ASSERT_TRUE(program->waitForLine("added reminder: stretch", 30s)) << "the text was not kept";
    EXPECT_EQ(listed("stretch"), 1) << tray->lastLayout();
    EXPECT_EQ(stored(), (std::vector<std::string>{"water", "stretch"}));
    EXPECT_TRUE(key("Escape") && waitForInactive(quickCommandTitle));
    EXPECT_EQ(program->count(" fault: "), 0u);
  }

  std::unique_ptr<MountedFolder> data;
  std::unique_ptr<testing::TrayMenu> tray;
};

TEST_F(RefusedSaveScenario, AReminderTypedOnAFullDiskIsRefusedKeptInTheFieldAndNotListed) {
  if (!start()) {
    if (!data->mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << data->error();
    return;
  }
  typeThroughAFault([&] { return data->fill(); }, "No space left on device",
                    [&] {
                      data->makeRoom();
                      return true;
                    });
}

// Root writes past permission bits, so the folder is made read-only by its mount.
TEST_F(RefusedSaveScenario, AReminderTypedIntoAReadOnlyFolderIsRefusedKeptInTheFieldAndNotListed) {
  if (!start()) {
    if (!data->mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << data->error();
    return;
  }
  typeThroughAFault([&] { return data->setReadOnly(true); }, "Read-only file system",
                    [&] { return data->setReadOnly(false); });
}

}  // namespace
}  // namespace vorlane::e2e
