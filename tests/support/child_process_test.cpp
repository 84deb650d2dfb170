#include "tests/support/child_process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace std::chrono_literals;

namespace vorlane::testing {
namespace {

// A report line written in two pieces, the second after the reader's wait ran out: the line
// comes whole on the next call, and the line after it stays its own.
TEST(ChildProcessTest, ALineCutByATimeoutIsKeptForTheNextCall) {
  TempFolder folder;
  const auto rest = folder / "rest";
  ASSERT_EQ(mkfifo(rest.c_str(), 0600), 0);
  ChildProcess child({"sh", "-c", "printf sho >&3; cat <\"$0\" >&3", rest.string()}, true);
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.readLine(500ms), std::nullopt);
  writeFile(rest, "wn=1 geometry=0x0\nready\n");
  EXPECT_EQ(child.readLine(30s), "shown=1 geometry=0x0");
  EXPECT_EQ(child.readLine(30s), "ready");
  EXPECT_EQ(child.readLine(30s), std::nullopt) << "end of output";
}

}  // namespace
}  // namespace vorlane::testing
