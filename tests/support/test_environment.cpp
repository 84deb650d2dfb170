// Linked into every test binary: before anything reads the environment, the binary's own is
// replaced by the caller's kept entries and a home of its own (tests/support/test_environment.h),
// which every program a test starts inherits.

#include "tests/support/test_environment.h"

#include "tests/support/temp_folder.h"

extern char** environ;

namespace vorlane::testing {
namespace {

// The binary's home, removed with everything in it when the binary ends.
struct OwnEnvironment {
  TempFolder home;
  OwnEnvironment() {
    TestEnvironment::replaceOwn(TestEnvironment::merged(TestEnvironment::homeAt(home.path()),
                                                        TestEnvironment::kept(environ)));
  }
};

const OwnEnvironment ownEnvironment;

}  // namespace
}  // namespace vorlane::testing
