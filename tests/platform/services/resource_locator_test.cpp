#include "platform/services/resource_locator.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

TEST(ResourceLocator, FindsTheFirstFolderHoldingTheFileAndNothingOutsideIt) {
  testing::TempFolder root;
  const auto first = root / "first", second = root / "second";
  std::filesystem::create_directories(first / "hour-3-00.wav");  // a folder bearing a clip's name
  std::filesystem::create_directories(second);
  for (const char* name : {"hour-2-00.wav", "hour-3-00.wav"}) {
    testing::writeFile(second / name, "x");
  }
  testing::writeFile(first / "hour-2-00.wav", "x");
  const ResourceLocator locator({root / "missing", first, second});
  const std::pair<const char*, std::optional<std::filesystem::path>> rows[] = {
      {"hour-2-00.wav", first / "hour-2-00.wav"},
      {"hour-3-00.wav", second / "hour-3-00.wav"},
      {"hour-4-00.wav", std::nullopt},
      {"", std::nullopt},
      {"..", std::nullopt},
      {"../second/hour-2-00.wav", std::nullopt}};
  for (const auto& [name, expected] : rows) EXPECT_EQ(locator.find(name), expected) << name;
}

}  // namespace
}  // namespace vorlane
