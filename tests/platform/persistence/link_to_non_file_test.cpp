// A stored file that is a link to something other than a regular file (a device, a FIFO, a
// socket): it is read as unreadable without being opened, so a FIFO never blocks the start; the
// link and its target are kept, every save is refused with the cause, and nothing is made,
// linked or renamed beside the target.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/persistence/atomic_file.h"
#include "platform/persistence/file_record_store.h"
#include "platform/persistence/file_reminder_store.h"
#include "platform/persistence/local_json_document.h"
#include "platform/persistence/not_a_regular_file_error.h"
#include "platform/persistence/record_preferences_store.h"
#include "platform/persistence/save_steps.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"
#include "tests/support/thrown.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;

// A node that is not a regular file, at a place the test may watch. Only root may make a
// device node, so others link to /dev/null and watch what would be made beside it there.
struct Node {
  fs::path path;
  mode_t type = 0;
};

std::optional<Node> makeNode(const std::string& kind, const fs::path& folder) {
  const fs::path path = folder / kind;
  if (kind == "device") {
    // /dev/null's own numbers: harmless should anything open it.
    if (::mknod(path.c_str(), S_IFCHR | 0600, ::makedev(1, 3)) == 0) return Node{path, S_IFCHR};
    return Node{"/dev/null", S_IFCHR};
  }
  if (kind == "FIFO") {
    if (::mkfifo(path.c_str(), 0600) != 0) return std::nullopt;
    return Node{path, S_IFIFO};
  }
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (fd < 0 || path.string().size() >= sizeof address.sun_path) return std::nullopt;
  std::strcpy(address.sun_path, path.c_str());
  const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  if (!bound) return std::nullopt;
  return Node{path, S_IFSOCK};
}

mode_t typeAt(const fs::path& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

// The names in the node's folder that a save could have made beside it (its temporary files
// and aside names begin with its name, after a dot for the temporary ones); the whole folder
// where it is the test's own.
std::vector<std::string> besideNode(const Node& node) {
  std::vector<std::string> names;
  const std::string name = node.path.filename().string();
  for (const auto& entry : testing::folderEntries(node.path.parent_path())) {
    if (entry.starts_with(name) || entry.starts_with("." + name)) names.push_back(entry);
  }
  return names;
}

// Both stores: the reminders file and the preferences, each a link to the node.
TEST(LinkToNonFile, IsKeptAndEverySaveIsRefusedWithNothingMadeBesideIt) {
  for (const std::string kind : {"device", "FIFO", "socket"}) {
    SCOPED_TRACE(kind);
    testing::TempFolder temp;
    fs::create_directories(temp / "elsewhere");
    fs::create_directories(temp / "data");
    fs::create_directories(temp / "config");
    const auto node = makeNode(kind, temp / "elsewhere");
    ASSERT_TRUE(node) << std::strerror(errno);
    const auto beside = besideNode(*node);
    // As the refusal names it, the temporary folder's links followed.
    const std::string shown =
        (fs::canonical(node->path.parent_path()) / node->path.filename()).string();
    const fs::path reminders = temp / "data" / FileReminderStore::fileName;
    FileRecordStore records(temp / "config");
    const fs::path preferences = records.path(RecordPreferencesStore::key);
    fs::create_symlink(node->path, reminders);
    fs::create_symlink(node->path, preferences);

    const StoredData read = readStoredFile(reminders);
    EXPECT_TRUE(read.isUnreadable());
    EXPECT_EQ(read.reason(), reminders.string() + ": not a regular file");

    LogCapture log;
    FileReminderStore store(reminders);
    EXPECT_TRUE(store.reminders().empty());
    const Reminder tea(UUID::random(), "tea", VisitTrigger::countdown(600), Date(0));
    const std::string sentence = refusal([&] { store.add(tea); });
    EXPECT_EQ(sentence, "\u2068" + shown +
                            "\u2069 is not a regular file, so the change could not be saved. "
                            "Nothing was changed.");
    EXPECT_EQ(thrown<LocalJSONDocumentError>([&] { store.add(tea); },
                                             [](const auto& e) { return e.value(); }),
              LocalJSONDocumentFailure::notAFile);
    EXPECT_TRUE(store.reminders().empty());

    RecordPreferencesStore settings(records);
    settings.modify([](Preferences& p) { p.workMinutes = 40; });

    for (const fs::path& link : {reminders, preferences}) {
      EXPECT_EQ(fs::read_symlink(link), node->path) << link;
      EXPECT_EQ(testing::folderEntries(link.parent_path()),
                std::vector<std::string>{link.filename().string()});
    }
    EXPECT_EQ(typeAt(node->path), node->type) << "still what it was";
    EXPECT_EQ(besideNode(*node), beside) << "nothing made beside it";
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].message.starts_with("could not save reminders: " + shown +
                                             " is not a regular file, kept as it is"))
        << lines[0].message;
    EXPECT_TRUE(lines[1].message.starts_with(
        "unreadable preferences left in place, not saving: " + shown + " is not a regular file"))
        << lines[1].message;
  }
}

// A target that was a file when the save began but is a FIFO by the time the new version is
// to be renamed into place is not replaced either.
TEST(LinkToNonFile, ATargetReplacedByAFifoDuringTheSaveIsKept) {
  testing::TempFolder temp;
  fs::create_directories(temp / "data");
  fs::create_directories(temp / "elsewhere");
  const fs::path target = temp / "elsewhere/reminders.json";
  const fs::path file = temp / "data/reminders.json";
  fs::create_symlink(target, file);
  FileReminderStore store(file);
  store.add(Reminder(UUID::random(), "tea", VisitTrigger::countdown(600), Date(0)));
  const auto before = store.reminders();
  setSaveStepHook([&](SaveStep at) {
    if (at == SaveStep::syncTemporary) {
      fs::remove(target);
      ::mkfifo(target.c_str(), 0600);
    }
    return 0;
  });
  LogCapture log;
  EXPECT_EQ(
      thrown<LocalJSONDocumentError>(
          [&] { store.add(Reminder(UUID::random(), "water", VisitTrigger::hourly(), Date(0))); },
          [](const auto& e) { return e.value(); }),
      LocalJSONDocumentFailure::notAFile);
  setSaveStepHook({});
  EXPECT_EQ(typeAt(target), static_cast<mode_t>(S_IFIFO));
  EXPECT_EQ(testing::folderEntries(temp / "elsewhere"), std::vector<std::string>{"reminders.json"});
  EXPECT_EQ(store.reminders(), before);
}

}  // namespace
}  // namespace vorlane
