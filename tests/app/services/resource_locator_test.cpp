#include "app/services/resource_locator.h"

#include <filesystem>
#include <map>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/app/services/speech_fakes.h"

namespace vorlane {
namespace {

using Paths = std::vector<std::filesystem::path>;

ResourceLocator::Environment environment(std::map<std::string, std::string> values) {
  return [values](const char* name) -> std::optional<std::string> {
    const auto found = values.find(name);
    if (found == values.end()) {
      return std::nullopt;
    }
    return found->second;
  };
}

TEST(ResourceLocator, SearchesOverrideThenInstallThenBuildTreeThenDataDirs) {
  struct Row {
    const char* name;
    std::map<std::string, std::string> env;
    std::filesystem::path exeDir;
    std::filesystem::path buildDir;
    Paths expected;
  };
  const Row rows[] = {
      {"everything set",
       {{"VORLANE_RESOURCE_DIR", "/opt/clips"}, {"XDG_DATA_DIRS", "/a/share:/b/share"}},
       "/usr/lib/vorlane/bin",
       "/build/share/vorlane/sounds",
       {"/opt/clips", "/usr/lib/vorlane/share/vorlane/sounds", "/build/share/vorlane/sounds",
        "/a/share/vorlane/sounds", "/b/share/vorlane/sounds"}},
      {"data dirs unset fall back to the standard ones",
       {},
       "/usr/bin",
       "",
       {"/usr/share/vorlane/sounds", "/usr/local/share/vorlane/sounds",
        "/usr/share/vorlane/sounds"}},
      {"empty values and relative data dirs are skipped",
       {{"VORLANE_RESOURCE_DIR", ""}, {"XDG_DATA_DIRS", "relative/share::/c/share:"}},
       "",
       "",
       {"/c/share/vorlane/sounds"}},
      {"empty data dirs count as unset",
       {{"XDG_DATA_DIRS", ""}},
       "",
       "",
       {"/usr/local/share/vorlane/sounds", "/usr/share/vorlane/sounds"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ResourceLocator::standardDirectories(environment(row.env), row.exeDir, row.buildDir),
              row.expected);
  }
}

TEST(ResourceLocator, FindsTheFirstFolderHoldingTheFile) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const std::filesystem::path base = root.path().toStdString();
  const auto first = base / "first", second = base / "second", missing = base / "missing";
  std::filesystem::create_directories(first);
  std::filesystem::create_directories(second);
  testing::writeFile((second / "hour-1-00.wav").string(), "x");
  testing::writeFile((first / "hour-2-00.wav").string(), "x");
  testing::writeFile((second / "hour-2-00.wav").string(), "x");
  // A folder bearing a clip's name is not a clip.
  std::filesystem::create_directories(first / "hour-3-00.wav");
  testing::writeFile((second / "hour-3-00.wav").string(), "x");

  const ResourceLocator locator({missing, first, second});
  struct Row {
    const char* name;
    std::optional<std::filesystem::path> expected;
  };
  const Row rows[] = {
      {"hour-1-00.wav", second / "hour-1-00.wav"},
      {"hour-2-00.wav", first / "hour-2-00.wav"},
      {"hour-3-00.wav", second / "hour-3-00.wav"},
      {"hour-4-00.wav", std::nullopt},
      {"", std::nullopt},
      {"..", std::nullopt},
      {"../second/hour-1-00.wav", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(locator.find(row.name), row.expected);
  }
}

}  // namespace
}  // namespace vorlane
