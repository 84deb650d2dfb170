// The status menu over the tray host's D-Bus interface: it is made again each time it opens,
// and what an earlier opening showed must be let go of, submenus' entries included. Its pages
// of reminders are made as the host opens them.
#include "tests/support/tray_menu.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

#include "tests/e2e/scenario.h"
#include "tests/e2e/stored_reminders.h"

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

// A host that opens every page of reminders finds the hundred, in store order, each page
// beginning with the reminder after the last of the page before, and deletes the hundredth
// from its row on the last page: reminders.json no longer holds it. The host opens no
// disabled row: a page that cannot be opened leaves its reminders out of reach.
TEST_F(Scenario, AHostReachesEveryReminderThroughThePagesAndDeletesTheLast) {
  startDesktop();
  testing::TrayMenu tray(*desktop, VORLANE_FAKE_STATUS_WATCHER);
  ASSERT_TRUE(tray.ready()) << "the stand-in watcher did not start";
  seedPreferences();
  const std::time_t start = at("09:10:00");
  storeReminders(program->remindersFile(), 100, start);
  launch(start, 1);
  ASSERT_TRUE(tray.waitForItem(startLimit)) << "the icon never reached the tray host";

  // Down the pages while the last row of the one open is the next.
  std::vector<std::string> path{"Reminders (100)"};
  auto entries = tray.open(path);
  while (path.size() < 12) {
    auto next = path;
    next.push_back("More reminders (*");
    if (!testing::findTrayMenuEntry(entries, next)) break;
    path = next;
    entries = tray.open(path);
  }
  EXPECT_GE(path.size(), 3u) << "a column of 800 px held more than half:\n" << tray.lastLayout();
  const std::string plants = "\u2068water the plants ";
  std::vector<std::string> rows;
  // The number of each page's first and last reminder, page after page.
  std::vector<std::pair<int, int>> pages;
  std::optional<std::size_t> page;
  for (const auto& entry : entries) {
    if (!entry.label.starts_with(plants)) continue;
    rows.push_back(entry.label);
    const int number = std::atoi(entry.label.c_str() + plants.size());
    if (entry.parent != page) pages.emplace_back(number, number);
    page = entry.parent;
    pages.back().second = number;
  }
  for (std::size_t k = 1; k < pages.size(); ++k) {
    EXPECT_EQ(pages[k].first, pages[k - 1].second + 1)
        << "page " << k + 1 << " does not begin where page " << k << " ended";
  }
  ASSERT_EQ(rows.size(), 100u) << tray.lastLayout();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_TRUE(rows[i].starts_with("\u2068water the plants " + std::to_string(i) + "\u2069 - "))
        << i << ": " << rows[i];
  }

  path.push_back("\u2068water the plants 99\u2069 - *");
  path.push_back("Delete reminder");
  ASSERT_TRUE(tray.choose(path)) << tray.lastLayout();
  expectTheHundredthDeleted(program->remindersFile());
  EXPECT_EQ(program->count(" fault: "), 0u);
}

}  // namespace
}  // namespace vorlane::e2e
