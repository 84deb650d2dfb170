// Faults: killed while saving, a corrupt preferences file, and a desktop without a
// notification daemon, a sound server or a tray.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>

#include <random>
#include <thread>

#include "core/reminders/reminder.h"
#include "platform/persistence/file_reminder_store.h"
#include "tests/e2e/scenario.h"

namespace vorlane::e2e {
namespace {

Preferences storedPreferences(const std::filesystem::path& home) {
  FileRecordStore records(home / ".config/vorlane");
  return RecordPreferencesStore(records).preferences();
}

// Each launch writes the welcome as shown and drops the reminders that fired: killed at any
// moment, the files hold what was saved before or after, never less.
TEST_F(Scenario, KilledWhileSavingLosesNothingSaved) {
  startDesktop({.compositor = false});
  std::mt19937 random(25);
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    seedPreferences([](Preferences& p) {
      p.hasCompletedOnboarding = false;
      p.activeEndHour = 19;
    });
    const Date createdAt = Date::fromUnix(double(at("09:00:00")));
    std::vector<Reminder> kept;
    {
      std::filesystem::remove(program->remindersFile());
      FileReminderStore store(program->remindersFile());
      for (int i = 0; i < 4; ++i) {  // due a few seconds after the start, then pruned
        store.add(Reminder(UUID::random(), "soon " + std::to_string(i),
                           VisitTrigger::countdown(60.0 * (1 + i)), createdAt));
      }
      for (int i = 0; i < 4; ++i) {
        kept.emplace_back(UUID::random(), "later " + std::to_string(i),
                          VisitTrigger::countdown(3600.0 * (3 + i)), createdAt);
        store.add(kept.back());
      }
    }
    launch(at("09:00:00"));
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 1500));
    const auto status = program->stop(SIGKILL);
    ASSERT_TRUE(status && WIFSIGNALED(*status));
    const Preferences p = storedPreferences(home.path());
    EXPECT_EQ(p.activeEndHour, 19) << "the saved preferences were lost";
    const auto left = FileReminderStore(program->remindersFile()).reminders();
    for (const Reminder& r : kept) {
      EXPECT_EQ(std::ranges::count(left, r), 1) << r.phrase << " was lost";
    }
    // A save killed halfway leaves its temporary file; the next start removes it, and a
    // run that ends as asked leaves none.
    const std::size_t launches = program->count("Vorlane launching");  // the log is kept
    ASSERT_TRUE(program->start({zone, at("09:00:00"), speed}));
    ASSERT_TRUE(program->waitForLine("Vorlane launching", startLimit, launches + 1));
    const auto ended = program->stop(SIGTERM);
    ASSERT_TRUE(ended && WIFEXITED(*ended)) << program->log();
    EXPECT_EQ(storedPreferences(home.path()).activeEndHour, 19);
    // Nothing was unreadable, so nothing was moved aside.
    EXPECT_EQ(testing::folderEntries(home.path() / ".local/share/Vorlane"),
              std::vector<std::string>{"reminders.json"});
    for (const auto& name : testing::folderEntries(home.path() / ".config/vorlane")) {
      EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name << " was left";
    }
    EXPECT_EQ(program->count("moved aside"), 0u);
  }
}

// Temporary files of saves killed in an earlier run, beside every record and beside the
// target of a record kept as a link, are gone once the program has started; other files stay,
// those named as if for a record the program does not keep too.
TEST_F(Scenario, TheTemporaryFilesOfKilledSavesAreRemovedAtTheNextStart) {
  startDesktop({.compositor = false});
  seedPreferences();
  const std::filesystem::path config = home.path() / ".config/vorlane";
  const std::filesystem::path data = home.path() / ".local/share/Vorlane";
  const std::filesystem::path dotfiles = home.path() / "dotfiles";
  std::filesystem::create_directories(data);
  std::filesystem::create_directories(dotfiles);
  std::filesystem::create_symlink(dotfiles / "history", config / "focusHistory.json");
  const std::vector<std::filesystem::path> leftovers = {
      config / ".preferences.json.tmp-a1B2c3", config / ".dailyPriorities.v1.json.tmp-Zz9Yy8",
      config / ".focusRecovery.v1.json.tmp-000000", dotfiles / ".history.tmp-QwErTy",
      data / ".reminders.json.tmp-x7Y8z9"};
  const std::vector<std::filesystem::path> others = {
      config / ".preferences.json.tmp-short", config / "notes.txt",
      dotfiles / ".history.txt.tmp-QwErTy",   data / ".calendar.ics.tmp-abcdef",
      config / ".user-notes.json.tmp-abc123", data / ".preferences.json.tmp-abc123"};
  for (const auto& file : leftovers) testing::writeFile(file, "{\"half\":");
  for (const auto& file : others) testing::writeFile(file, "mine");
  launch(at("09:58:00"));
  for (const auto& file : leftovers) {
    EXPECT_FALSE(std::filesystem::exists(file)) << file;
    EXPECT_EQ(program->count(file.string() + ", left by a save that was interrupted"), 1u) << file;
  }
  for (const auto& file : others) EXPECT_EQ(testing::readFile(file), "mine") << file;
  EXPECT_TRUE(program->running());
}

TEST_F(Scenario, ACorruptPreferencesFileIsMovedAsideWithItsBytesAndDefaultsApply) {
  startDesktop({.compositor = false});
  const std::string corrupt = "{\"activeStartHour\": 7, \"activeEndHour\": \xff\xfe oops";
  testing::writeFile(program->configFile("preferences"), corrupt);
  launch(at("09:58:00"));
  ASSERT_TRUE(program->waitForLine("unreadable preferences moved aside to", 60s));
  // Defaults: a first launch, which shows the welcome and stores it as shown.
  EXPECT_TRUE(
      testing::waitUntil([&] { return storedPreferences(home.path()).hasCompletedOnboarding; }));
  int kept = 0;
  for (const auto& name : testing::folderEntries(home.path() / ".config/vorlane")) {
    if (name != "preferences.json") {
      kept += testing::readFile(home.path() / ".config/vorlane" / name) == corrupt;
    }
  }
  EXPECT_EQ(kept, 1) << "the unreadable bytes were not kept";
  EXPECT_EQ(storedPreferences(home.path()).activeStartHour, 9);
  EXPECT_TRUE(program->running());
}

// The kind of node at `path` (not followed); 0 when nothing is there.
mode_t nodeType(const std::filesystem::path& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

// The names in `folder` that begin with `name`, or with a dot and `name`: all a save of a file
// called `name` could make beside it.
std::vector<std::string> namedFor(const std::filesystem::path& folder, const std::string& name) {
  std::vector<std::string> names;
  for (const auto& entry : testing::folderEntries(folder)) {
    if (entry.starts_with(name) || entry.starts_with("." + name)) names.push_back(entry);
  }
  return names;
}

// Regression: preferences linked to a device were saved into the device's folder (as root, a
// file was renamed over /dev/zero). A link to a device node (one of the test's own where it may
// make one, else /dev/null) and a link to a FIFO stay, the start does not wait on the FIFO,
// every save through them is refused with the cause, and nothing appears beside either.
TEST_F(Scenario, LinksToADeviceAndAFifoAreKeptAndNothingIsMadeBesideThem) {
  startDesktop({.compositor = false});
  const std::filesystem::path nodes = home.path() / "nodes";
  const std::filesystem::path config = home.path() / ".config/vorlane";
  const std::filesystem::path data = home.path() / ".local/share/Vorlane";
  for (const auto& folder : {nodes, config, data}) std::filesystem::create_directories(folder);
  std::filesystem::path device = nodes / "null";
  if (::mknod(device.c_str(), S_IFCHR | 0600, ::makedev(1, 3)) != 0) device = "/dev/null";
  const std::filesystem::path fifo = nodes / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::filesystem::create_symlink(device, program->configFile("preferences"));
  std::filesystem::create_symlink(fifo, program->remindersFile());
  const auto besideDevice = namedFor(device.parent_path(), "null");

  launch(at("09:58:00"));
  ASSERT_TRUE(program->waitForLine("unreadable preferences left in place, not saving: ", 60s))
      << program->log();
  EXPECT_EQ(program->count(device.string() + " is not a regular file, kept as it is"), 1u);
  ASSERT_TRUE(typeCommand("remind in 30m tea"));
  ASSERT_TRUE(program->waitForLine("could not save reminders: ", 30s)) << program->log();
  EXPECT_EQ(program->count(fifo.string() + " is not a regular file, kept as it is"), 1u);
  EXPECT_EQ(program->count("added reminder: tea"), 0u);
  const auto ended = program->stop(SIGTERM);
  ASSERT_TRUE(ended && WIFEXITED(*ended)) << program->log();

  EXPECT_EQ(nodeType(device), static_cast<mode_t>(S_IFCHR));
  EXPECT_EQ(nodeType(fifo), static_cast<mode_t>(S_IFIFO));
  EXPECT_EQ(namedFor(device.parent_path(), "null"), besideDevice);
  const std::vector<std::string> made = device.parent_path() == nodes
                                            ? std::vector<std::string>{"null", "pipe"}
                                            : std::vector<std::string>{"pipe"};
  EXPECT_EQ(testing::folderEntries(nodes), made);
  EXPECT_EQ(std::filesystem::read_symlink(program->configFile("preferences")), device);
  EXPECT_EQ(std::filesystem::read_symlink(program->remindersFile()), fifo);
  EXPECT_EQ(namedFor(config, "preferences.json"), std::vector<std::string>{"preferences.json"});
  EXPECT_EQ(testing::folderEntries(data), std::vector<std::string>{"reminders.json"});
  EXPECT_EQ(program->count(" fault: "), 0u);
}

// Each missing piece leaves the program running through a visit, with one line about it.
struct Missing {
  const char* name;
  DesktopPieces pieces;
  const char* line;  // empty: the program says nothing about it
  // When set, how it is said again at later visits: waited for, so the count comes last.
  const char* repeat = "";
};

void PrintTo(const Missing& missing, std::ostream* out) { *out << missing.name; }

class MissingPiece : public Scenario, public ::testing::WithParamInterface<Missing> {};

TEST_P(MissingPiece, TheProgramRunsOnAndSaysSoOnce) {
  startDesktop(GetParam().pieces);
  seedPreferences();
  // Nothing due before the schedule is anchored at start-up is shown, and on a busy machine
  // the start takes well over a faked minute: ten leave it room.
  launch(at("09:50:00"));
  ASSERT_TRUE(program->waitForLine(visitLine(at("10:00:00")), program->real(20 * 60) + 30s));
  ASSERT_TRUE(program->waitForLine(visitLine(at("11:00:00")), program->real(70 * 60) + 30s));
  EXPECT_TRUE(program->running());
  if (*GetParam().repeat) {
    // The player is started and found without a sound server in real time, not faked time:
    // on a loaded machine that alone can outlast ten faked minutes.
    ASSERT_TRUE(program->waitForLine(GetParam().repeat, program->real(10 * 60) + 30s))
        << program->log();
  }
  if (*GetParam().line) {
    EXPECT_EQ(program->count(GetParam().line), 1u);
  }
  EXPECT_EQ(program->count(" fault: "), 0u);
}

INSTANTIATE_TEST_SUITE_P(Faults, MissingPiece,
                         ::testing::Values(Missing{"NoNotificationDaemon",
                                                   {.notifications = false},
                                                   "notification authorization failed"},
                                           Missing{"NoSoundServer",
                                                   {.sound = false},
                                                   "error: no audio output for speech",
                                                   "debug: no audio output for speech"},
                                           Missing{"NoTray", {.tray = false}, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlane::e2e
