#pragma once

#include <functional>

namespace vorlane {

// The steps of a file save (FileReplacement), in the order they run.
enum class SaveStep {
  writeTemporary,  // the new bytes into the temporary file
  syncTemporary,   // the temporary file flushed to disk
  linkAside,       // the file in place given its aside name as well, as a hard link
  copyAside,       // or, where the file system refuses the link, copied to a temporary file
  syncCopy,        // that copy flushed to disk
  nameCopy,        // the whole copy given the aside name, never one that is taken
  replace,         // the temporary file renamed over the file
  syncFolder,      // the folder flushed
};

// For tests that fail or stop a save at one step: from now on `hook` is called before each
// step of every save, and an error number it returns makes that step fail with it, as the
// system would. Empty (the default), every step is left to the system. Set only while no save
// is running.
void setSaveStepHook(std::function<int(SaveStep)> hook);

}  // namespace vorlane
