#pragma once

namespace vorlane {

// What the program sets for its whole process at start, before its first thread: one heap
// serves every thread. The benchmarks that measure the program's work take the same.
void applyProcessSettings();

}  // namespace vorlane
