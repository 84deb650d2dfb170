#include "app/persistence/file_user_defaults.h"

#include <sys/stat.h>

#include <set>
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
  const struct {
    const char* key;
    const char* file;
  } rows[] = {
      {"preferences", "preferences.json"},
      {"focusRecovery.v1", "focusRecovery.v1.json"},
      {"floatingClock.position.DP-1", "floatingClock.position.DP-1.json"},
      {"under_score", "under_score.json"},
      {".hidden", "%2Ehidden.json"},
      {"a/b", "a%2Fb.json"},
      {"..", "%2E..json"},
      {"50%", "50%25.json"},
      {"a b", "a%20b.json"},
      {"\xc3\xbc", "%C3%BC.json"},
  };
  for (const auto& row : rows) EXPECT_EQ(FileUserDefaults::fileName(row.key), row.file) << row.key;
  // Percent itself is encoded, so a key spelled like an encoding cannot collide.
  EXPECT_NE(FileUserDefaults::fileName("a%2Fb"), FileUserDefaults::fileName("a/b"));
}

TEST(FileUserDefaults, RoundTripCreatesPrivateFolderAndFile) {
  TempFolder temp;
  FileUserDefaults defaults(temp / "config/vorlane");
  EXPECT_TRUE(defaults.data("preferences").isMissing());

  defaults.setData("preferences", "{\"a\":1}");
  defaults.setData("preferences", "{\"a\":2}");
  StoredData read = defaults.data("preferences");
  ASSERT_TRUE(read.hasValue());
  EXPECT_EQ(read.bytes(), "{\"a\":2}");
  EXPECT_EQ(testing::permissions(temp / "config/vorlane/preferences.json"), 0600u);
  EXPECT_EQ(testing::permissions(temp / "config/vorlane"), 0700u);
  EXPECT_EQ(testing::permissions(temp / "config"), 0700u);
  // No temporary file is left behind.
  EXPECT_EQ(testing::folderEntries(temp / "config/vorlane"),
            std::vector<std::string>{"preferences.json"});

  EXPECT_TRUE(defaults.remove("preferences"));
  EXPECT_TRUE(defaults.data("preferences").isMissing());
  EXPECT_TRUE(defaults.remove("preferences")) << "removing nothing is not a failure";
}

TEST(FileUserDefaults, AnythingButAMissingFileIsUnreadable) {
  TempFolder temp;
  const struct {
    const char* name;
    void (*stage)(const std::filesystem::path& file);
  } rows[] = {
      {"a folder in its place", [](const auto& f) { std::filesystem::create_directory(f); }},
      {"a FIFO (must not block)", [](const auto& f) { ::mkfifo(f.c_str(), 0600); }},
      {"too large", [](const auto& f) {
         testing::writeFile(f, "x");
         std::filesystem::resize_file(f, maximumStoredFileSize + 1);
       }},
      {"unreadable permissions", [](const auto& f) {
         testing::writeFile(f, "{}");
         ::chmod(f.c_str(), 0);
       }},
  };
  for (const auto& row : rows) {
    if (std::string(row.name) == "unreadable permissions" && testing::runningAsRoot()) continue;
    FileUserDefaults defaults(temp / row.name);
    std::filesystem::create_directories(defaults.folder());
    row.stage(defaults.path("k"));
    StoredData read = defaults.data("k");
    EXPECT_TRUE(read.isUnreadable()) << row.name;
    EXPECT_NE(read.reason().find(defaults.path("k").string()), std::string::npos) << row.name;
  }
  // The defaults folder itself being a file: not "missing" either.
  testing::writeFile(temp / "plainfile", "");
  EXPECT_TRUE(FileUserDefaults(temp / "plainfile").data("k").isUnreadable());
}

TEST(FileUserDefaults, FailedWritesThrowAndKeepTheOldBytes) {
  TempFolder temp;
  {
    // The key's file is a folder: the rename over it fails.
    FileUserDefaults defaults(temp / "a");
    std::filesystem::create_directories(defaults.path("k") / "inside");
    EXPECT_THROW(defaults.setData("k", "new"), std::system_error);
    EXPECT_TRUE(std::filesystem::exists(defaults.path("k") / "inside"));
    EXPECT_EQ(testing::folderEntries(defaults.folder()), std::vector<std::string>{"k.json"});
    EXPECT_FALSE(defaults.remove("k")) << "a folder is never deleted as if it were a record";
  }
  {
    // The folder cannot be created because a file has its name.
    testing::writeFile(temp / "b", "mine");
    FileUserDefaults defaults(temp / "b");
    EXPECT_THROW(defaults.setData("k", "new"), std::system_error);
    EXPECT_EQ(testing::readFile(temp / "b"), "mine");
  }
}

TEST(FileUserDefaults, SetAsideKeepsEveryEarlierCopy) {
  TempFolder temp;
  FileUserDefaults defaults(temp.path(), [] { return std::time_t{1767323045}; });
  EXPECT_EQ(defaults.setAside("preferences"), std::nullopt);

  defaults.setData("preferences", "first");
  auto one = defaults.setAside("preferences");
  defaults.setData("preferences", "second");
  auto two = defaults.setAside("preferences");
  ASSERT_TRUE(one && two);
  EXPECT_EQ(*one, (temp / "preferences.json.unreadable-20260102T030405").string());
  EXPECT_EQ(*two, (temp / "preferences.json.unreadable-20260102T030405-2").string());
  EXPECT_EQ(testing::readFile(*one), "first");
  EXPECT_EQ(testing::readFile(*two), "second");
  EXPECT_TRUE(defaults.data("preferences").isMissing());
}

TEST(ApplicationSupport, XdgBaseFolderNeedsAnAbsolutePath) {
  const struct {
    const char* name;
    const char* value;
    const char* home;
    std::optional<std::filesystem::path> expected;
  } rows[] = {
      {"set", "/x/config", "/home/u", "/x/config"},
      {"unset", nullptr, "/home/u", "/home/u/.config"},
      {"empty", "", "/home/u", "/home/u/.config"},
      {"relative", "config", "/home/u", "/home/u/.config"},
      {"no home", nullptr, nullptr, std::nullopt},
      {"relative home", nullptr, "home", std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(xdgBaseFolder(row.value, row.home, ".config"), row.expected) << row.name;
  }
}

TEST(InMemoryUserDefaults, TestControlsBehaveLikeTheFileDatabase) {
  InMemoryUserDefaults defaults;
  defaults.setData("k", "old");
  defaults.makeUnreadable("k", "I/O error");
  EXPECT_TRUE(defaults.data("k").isUnreadable());
  EXPECT_EQ(defaults.data("k").reason(), "I/O error");

  defaults.setFailing(true);
  EXPECT_THROW(defaults.setData("k", "new"), std::system_error);
  EXPECT_THROW(defaults.setAside("k"), std::system_error);
  EXPECT_FALSE(defaults.remove("k"));
  EXPECT_EQ(defaults.rawBytes("k"), "old");
  EXPECT_EQ(defaults.writeCount("k"), 1);

  defaults.setFailing(false);
  auto aside = defaults.setAside("k");
  ASSERT_TRUE(aside);
  EXPECT_EQ(defaults.rawBytes(*aside), "old");
  EXPECT_TRUE(defaults.data("k").isMissing());
}

}  // namespace
}  // namespace vorlane
