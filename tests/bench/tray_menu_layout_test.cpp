#include "tests/support/tray_menu_layout.h"

#include <gtest/gtest.h>

namespace vorlane::testing {
namespace {

// dbus-send's printout of a GetLayout reply: the root, an "About" entry that is disabled, and a
// "Mascot" submenu holding "Move left" and "Appearance…", then "Quit" back at the top.
constexpr char printout[] =
    R"(method return time=1.5 sender=:1.4 -> destination=:1.9 serial=41 reply_serial=2
   uint32 7
   struct {
      int32 0
      array [
         dict entry(
            string "children-display"
            variant                string "submenu"
         )
      ]
      array [
         variant                struct {
               int32 3
               array [
                  dict entry(
                     string "label"
                     variant                         string "About Vorlane"
                  )
                  dict entry(
                     string "enabled"
                     variant                         boolean false
                  )
               ]
               array [
               ]
            }
         variant                struct {
               int32 5
               array [
                  dict entry(
                     string "children-display"
                     variant                         string "submenu"
                  )
                  dict entry(
                     string "label"
                     variant                         string "Mascot"
                  )
               ]
               array [
                  variant                      struct {
                        int32 6
                        array [
                           dict entry(
                              string "label"
                              variant                                 string "Move left"
                           )
                        ]
                        array [
                        ]
                     }
                  variant                      struct {
                        int32 8
                        array [
                           dict entry(
                              string "label"
                              variant                                 string "Appearance…"
                           )
                        ]
                        array [
                        ]
                     }
               ]
            }
         variant                struct {
               int32 9
               array [
                  dict entry(
                     string "label"
                     variant                         string "Quit Vorlane"
                  )
                  dict entry(
                     string "enabled"
                     variant                         boolean true
                  )
               ]
               array [
               ]
            }
      ]
   }
)";

TEST(TrayMenuLayout, ReadsEachEntryWithItsLabelStateAndParent) {
  const auto entries = parseTrayMenuLayout(printout);
  ASSERT_EQ(entries.size(), 6u);
  struct Expected {
    int id;
    const char* label;
    bool enabled;
    std::optional<size_t> parent;
  };
  const Expected expected[] = {{0, "", true, std::nullopt}, {3, "About Vorlane", false, 0},
                               {5, "Mascot", true, 0},      {6, "Move left", true, 2},
                               {8, "Appearance…", true, 2}, {9, "Quit Vorlane", true, 0}};
  for (size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(expected[i].label);
    EXPECT_EQ(entries[i].id, expected[i].id);
    EXPECT_EQ(entries[i].label, expected[i].label);
    EXPECT_EQ(entries[i].enabled, expected[i].enabled);
    EXPECT_EQ(entries[i].parent, expected[i].parent);
  }
}

TEST(TrayMenuLayout, ReadsNothingFromAFailedCall) {
  EXPECT_TRUE(parseTrayMenuLayout("").empty());
  EXPECT_TRUE(
      parseTrayMenuLayout("Error org.freedesktop.DBus.Error.ServiceUnknown: gone\n").empty());
}

struct FindRow {
  const char* name;
  std::vector<std::string> path;
  std::optional<int> id;  // the entry found, none when the path leads nowhere
};

class TrayMenuFind : public ::testing::TestWithParam<FindRow> {};

TEST_P(TrayMenuFind, FollowsEachLabelBelowTheOneBefore) {
  const auto entries = parseTrayMenuLayout(printout);
  const auto found = findTrayMenuEntry(entries, GetParam().path);
  ASSERT_EQ(found.has_value(), GetParam().id.has_value());
  if (found) {
    EXPECT_EQ(entries[*found].id, *GetParam().id);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, TrayMenuFind,
    ::testing::Values(FindRow{"anywhereInTheMenu", {"Appearance…"}, 8},
                      FindRow{"belowItsSubmenu", {"Mascot", "Move left"}, 6},
                      FindRow{"prefixes", {"Mas*", "Appear*"}, 8},
                      FindRow{"disabledIsStillFound", {"About Vorlane"}, 3},
                      FindRow{"notBelowThatEntry", {"Quit Vorlane", "Move left"}, std::nullopt},
                      FindRow{"siblingIsNotBelow", {"Move left", "Appearance…"}, std::nullopt},
                      FindRow{"prefixIsNotExact", {"Mascot", "Move"}, std::nullopt},
                      FindRow{"emptyPath", {}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// A menu with a page of reminders whose next page is disabled, as hosts show such a row: the
// root, "Reminders (3)" holding "plants 0" and "More reminders (2)" (disabled, holding the
// rows it would show), then "Mascot" holding "Move left".
std::vector<TrayMenuEntry> withADisabledPage() {
  return {{0, "", true, std::nullopt}, {1, "Reminders (3)", true, 0},
          {2, "plants 0", true, 1},    {3, "More reminders (2)", false, 1},
          {4, "plants 1", true, 3},    {5, "Mascot", true, 0},
          {6, "Move left", true, 5}};
}

struct OpenRow {
  const char* name;
  std::vector<std::string> path;
  std::vector<int> opened;  // the ids told that they open, in order
  bool reachable;           // whether a host's user reaches the entry the path names
};

class TrayMenuOpen : public ::testing::TestWithParam<OpenRow> {};

TEST_P(TrayMenuOpen, OpensTheSubmenusOnTheWayButNoDisabledOne) {
  const auto entries = withADisabledPage();
  std::vector<int> opened;
  openTrayMenuPath(
      GetParam().path, [&](int id) { opened.push_back(id); }, [&] { return entries; });
  EXPECT_EQ(opened, GetParam().opened);
  const auto at = findTrayMenuEntry(entries, GetParam().path);
  ASSERT_TRUE(at.has_value());
  EXPECT_EQ(trayMenuEntryReachable(entries, *at), GetParam().reachable);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, TrayMenuOpen,
    ::testing::Values(
        OpenRow{"enabledSubmenus", {"Mascot", "Move left"}, {0, 5}, true},
        OpenRow{"aRowOfAPage", {"Reminders*", "plants 0"}, {0, 1}, true},
        OpenRow{"theDisabledPageItself", {"Reminders*", "More*"}, {0, 1}, false},
        OpenRow{"nothingPastTheDisabledPage", {"Reminders*", "More*", "plants 1"}, {0, 1}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlane::testing
