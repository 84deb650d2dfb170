// The status menu over the tray host's D-Bus interface: it is made again each time it opens,
// and what an earlier opening showed must be let go of, submenus' entries included.
#include "tests/support/tray_menu.h"

#include "tests/e2e/scenario.h"

namespace vorlane::e2e {
namespace {

TEST_F(Scenario, ReopeningTheStatusMenuLetsGoOfTheEntriesItShowedBefore) {
  startDesktop();
  testing::TrayMenu tray(*desktop, VORLANE_FAKE_STATUS_WATCHER);
  ASSERT_TRUE(tray.ready()) << "the stand-in watcher did not start";
  seedPreferences();
  launch(at("09:10:00"));
  ASSERT_TRUE(tray.waitForItem(startLimit)) << "the icon never reached the tray host";

  const auto first = tray.read();
  std::vector<int> nested;
  for (const auto& entry : first) {
    if (entry.parent && first[*entry.parent].parent) nested.push_back(entry.id);
  }
  ASSERT_FALSE(nested.empty()) << "no submenu entries in:\n" << tray.lastLayout();

  for (int opening = 0; opening < 3; ++opening) tray.read();
  const auto latest = tray.read();
  ASSERT_FALSE(latest.empty());
  for (int id : nested) EXPECT_FALSE(tray.answersFor(id)) << "entry " << id << " lingers";
  EXPECT_TRUE(tray.answersFor(latest.back().id)) << "the current menu must still answer";
}

}  // namespace
}  // namespace vorlane::e2e
