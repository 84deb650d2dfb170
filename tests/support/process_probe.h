#pragma once

#include <sys/types.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace vorlane::testing {

// The threads of this process.
inline int threadCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    ++count;
  }
  return count;
}

// Whether this process still has the thread of this kernel id.
inline bool hasThread(pid_t id) {
  return std::filesystem::exists("/proc/self/task/" + std::to_string(id));
}

// Whether a file whose path contains `name` (a library) is mapped into this process.
inline bool isMapped(const std::string& name) {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find(name) != std::string::npos) return true;
  }
  return false;
}

}  // namespace vorlane::testing
