#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
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

// The processes this one started that the system still holds, ended ones not yet reaped
// included: a child leaves this list once its end has been collected.
inline std::set<pid_t> childProcesses() {
  std::set<pid_t> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;  // gone meanwhile
    // "pid (command) state ppid ...": the command may hold spaces and parentheses.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 1));
    std::string state;
    pid_t parent = 0;
    if (rest >> state >> parent && parent == getpid()) children.insert(std::stoi(name));
  }
  return children;
}

}  // namespace vorlane::testing
