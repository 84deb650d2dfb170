#include "app/display_check.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(DisplayCheck, SaysWhenThereIsNoDisplayToShowVorlaneOn) {
  struct Row {
    const char* name;
    DisplayEnvironment environment;
    bool xOpens;
    const char* message;  // null: start
    const char* platforms;
  };
  const Row rows[] = {
      {"X display that opens", {std::nullopt, ":0", std::nullopt}, true, nullptr, "xcb;wayland"},
      {"nothing set", {std::nullopt, std::nullopt, std::nullopt}, false,
       "vorlane: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start Vorlane "
       "inside a desktop session",
       "xcb;wayland"},
      {"empty variables count as unset", {"", "", ""}, false,
       "vorlane: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start Vorlane "
       "inside a desktop session",
       "xcb;wayland"},
      {"X display that does not open", {std::nullopt, ":99", std::nullopt}, false,
       "vorlane: cannot open the X display \":99\"; start Vorlane inside a desktop session",
       "xcb;wayland"},
      {"Wayland only", {std::nullopt, std::nullopt, "wayland-0"}, false, nullptr, "xcb;wayland"},
      {"dead X display on Wayland", {std::nullopt, ":99", "wayland-0"}, false, nullptr,
       "xcb;wayland"},
      {"the user's own platform", {"offscreen", std::nullopt, std::nullopt}, false, nullptr,
       "offscreen"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> tried;
    const auto message = missingDisplayMessage(row.environment, [&](const std::string& display) {
      tried.push_back(display);
      return row.xOpens;
    });
    if (row.message == nullptr) {
      EXPECT_EQ(message, std::nullopt);
    } else {
      EXPECT_EQ(message, std::optional<std::string>(row.message));
    }
    EXPECT_EQ(qtPlatformsFor(row.environment), row.platforms);
  }
}

TEST(DisplayCheck, AnUnreachableXServerDoesNotOpen) {
  EXPECT_FALSE(canOpenX11Display(":65000"));
}

}  // namespace
}  // namespace vorlane
