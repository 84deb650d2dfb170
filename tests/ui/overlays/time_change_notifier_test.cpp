#include "ui/overlays/time_change_notifier.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "tests/support/temp_folder.h"

namespace vorlane {
namespace {

namespace fs = std::filesystem;

// Setting the system clock needs privileges a test does not have; the zone link is ours.
TEST(SystemTimeChangeNotifier, AnotherZoneOrARewrittenZoneFileIsAChange) {
  testing::TempFolder folder;
  testing::writeFile(folder / "Paris", "zone one");
  testing::writeFile(folder / "Tokyo", "zone two");
  fs::create_symlink(folder / "Paris", folder / "localtime");
  SystemTimeChangeNotifier notifier(QString::fromStdString((folder / "localtime").string()));
  QSignalSpy changes(&notifier, &TimeChangeNotifier::changed);

  testing::writeFile(folder / "unrelated", "x");  // the folder changes, the zone does not
  EXPECT_FALSE(changes.wait(300));

  // Changing the zone replaces the link in one step.
  fs::create_symlink(folder / "Tokyo", folder / "localtime.new");
  fs::rename(folder / "localtime.new", folder / "localtime");
  EXPECT_TRUE(changes.wait(3000));
  changes.clear();

  testing::writeFile(folder / "Tokyo", "zone two, new rules");  // updated in place
  EXPECT_TRUE(changes.wait(3000));
}

}  // namespace
}  // namespace vorlane
