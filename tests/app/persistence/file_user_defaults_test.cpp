#include "app/persistence/file_user_defaults.h"

#include <sys/stat.h>

#include <system_error>

#include <gtest/gtest.h>

#include "app/persistence/application_support.h"
#include "app/persistence/atomic_file.h"
#include "app/persistence/in_memory_user_defaults.h"
#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {
using testing::TempFolder;

TEST(FileUserDefaults, KeysBecomeDistinctSafeFileNames) {
  const std::pair<const char*, const char*> rows[] = {
      {"focusRecovery.v1", "focusRecovery.v1.json"},
      {"floatingClock.position.DP-1", "floatingClock.position.DP-1.json"},
      {"under_score", "under_score.json"}, {".hidden", "%2Ehidden.json"},
      {"..", "%2E..json"}, {"a/b", "a%2Fb.json"}, {"50%", "50%25.json"},
      {"a b", "a%20b.json"}, {"\xc3\xbc", "%C3%BC.json"},
  };
  for (const auto& [key, file] : rows) EXPECT_EQ(FileUserDefaults::fileName(key), file) << key;
  EXPECT_NE(FileUserDefaults::fileName("a%2Fb"), FileUserDefaults::fileName("a/b"));
}

TEST(FileUserDefaults, RoundTripCreatesPrivateFolderAndFile) {
  TempFolder temp;
  FileUserDefaults defaults(temp / "config/vorlane");
  EXPECT_TRUE(defaults.data("preferences").isMissing());
  defaults.setData("preferences", "{\"a\":1}");
  defaults.setData("preferences", "{\"a\":2}");
  EXPECT_EQ(defaults.data("preferences").bytes(), "{\"a\":2}");
  EXPECT_EQ(testing::permissions(temp / "config/vorlane/preferences.json"), 0600u);
  EXPECT_EQ(testing::permissions(temp / "config/vorlane"), 0700u);
  EXPECT_EQ(testing::permissions(temp / "config"), 0700u);
  EXPECT_EQ(testing::folderEntries(temp / "config/vorlane"),
            std::vector<std::string>{"preferences.json"}) << "no temporary file left";
  EXPECT_TRUE(defaults.remove("preferences"));
  EXPECT_TRUE(defaults.data("preferences").isMissing());
  EXPECT_TRUE(defaults.remove("preferences")) << "removing nothing is no failure";
}

TEST(FileUserDefaults, AnythingButAMissingFileIsUnreadable) {
  TempFolder temp;
  const std::pair<const char*, void (*)(const std::filesystem::path&)> rows[] = {
      {"folder in its place", [](const auto& f) { std::filesystem::create_directory(f); }},
      {"FIFO, must not block", [](const auto& f) { ::mkfifo(f.c_str(), 0600); }},
      {"too large", [](const auto& f) {
         testing::writeFile(f, "x");
         std::filesystem::resize_file(f, maximumStoredFileSize + 1);
       }},
  };
  for (const auto& [name, stage] : rows) {
    FileUserDefaults defaults(temp / name);
    std::filesystem::create_directories(defaults.folder());
    stage(defaults.path("k"));
    StoredData read = defaults.data("k");
    EXPECT_TRUE(read.isUnreadable()) << name;
    EXPECT_NE(read.reason().find(defaults.path("k").string()), std::string::npos) << name;
  }
  testing::writeFile(temp / "plainfile", "");
  EXPECT_TRUE(FileUserDefaults(temp / "plainfile").data("k").isUnreadable())
      << "a file where the folder should be";
}

TEST(FileUserDefaults, FailedWritesThrowAndKeepWhatWasThere) {
  TempFolder temp;
  FileUserDefaults folderInPlace(temp / "a");
  std::filesystem::create_directories(folderInPlace.path("k") / "inside");
  EXPECT_THROW(folderInPlace.setData("k", "new"), std::system_error);
  EXPECT_TRUE(std::filesystem::exists(folderInPlace.path("k") / "inside"));
  EXPECT_EQ(testing::folderEntries(folderInPlace.folder()), std::vector<std::string>{"k.json"});
  EXPECT_FALSE(folderInPlace.remove("k")) << "a folder is never deleted as a record";

  testing::writeFile(temp / "b", "mine");
  EXPECT_THROW(FileUserDefaults(temp / "b").setData("k", "new"), std::system_error);
  EXPECT_THROW(FileUserDefaults(temp / "b/c").setData("k", "new"), std::system_error);
  EXPECT_EQ(testing::readFile(temp / "b"), "mine");
}

TEST(FileUserDefaults, SetAsideNeverReplacesAnEarlierCopy) {
  TempFolder temp;
  FileUserDefaults defaults(temp.path(), [] { return std::time_t{1767323045}; });
  EXPECT_EQ(defaults.setAside("preferences"), std::nullopt);
  defaults.setData("preferences", "first");
  auto one = defaults.setAside("preferences");
  defaults.setData("preferences", "second");
  auto two = defaults.setAside("preferences");
  EXPECT_EQ(one, (temp / "preferences.json.unreadable-20260102T030405").string());
  EXPECT_EQ(two, (temp / "preferences.json.unreadable-20260102T030405-2").string());
  EXPECT_EQ(testing::readFile(*one), "first");
  EXPECT_EQ(testing::readFile(*two), "second");
  EXPECT_TRUE(defaults.data("preferences").isMissing());
}

TEST(ApplicationSupport, XdgBaseFolderNeedsAnAbsolutePath) {
  const struct {
    const char* value;
    const char* home;
    std::optional<std::filesystem::path> expected;
  } rows[] = {
      {"/x/config", "/home/u", "/x/config"}, {nullptr, "/home/u", "/home/u/.config"},
      {"", "/home/u", "/home/u/.config"},    {"config", "/home/u", "/home/u/.config"},
      {nullptr, nullptr, std::nullopt},      {nullptr, "home", std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(xdgBaseFolder(row.value, row.home, ".config"), row.expected)
        << (row.value ? row.value : "unset") << " / " << (row.home ? row.home : "unset");
  }
}

TEST(InMemoryUserDefaults, FailureControlsChangeNothingStored) {
  InMemoryUserDefaults defaults;
  defaults.setData("k", "old");
  defaults.makeUnreadable("k", "I/O error");
  EXPECT_EQ(defaults.data("k").reason(), "I/O error");
  defaults.setFailing(true);
  EXPECT_THROW(defaults.setData("k", "new"), std::system_error);
  EXPECT_THROW(defaults.setAside("k"), std::system_error);
  EXPECT_FALSE(defaults.remove("k"));
  EXPECT_EQ(defaults.rawBytes("k"), "old");
  defaults.setFailing(false);
  EXPECT_EQ(defaults.rawBytes(*defaults.setAside("k")), "old");
  EXPECT_TRUE(defaults.data("k").isMissing());
}

}  // namespace
}  // namespace vorlane
