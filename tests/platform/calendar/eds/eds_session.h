#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace vorlane::testing {

// A home of its own (XDG folders in a temporary folder) and a private session bus that starts
// Evolution Data Server from its installed service files on first use. The services inherit
// the bus's environment, so they see only this home; they end with the bus.
class EdsSession {
 public:
  EdsSession() {
    for (const char* name : {"config", "data", "cache", "runtime"}) {
      std::filesystem::create_directories(home_ / name);
    }
    std::filesystem::permissions(home_ / "runtime", std::filesystem::perms::owner_all);
    setenv("HOME", home_.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home_ / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home_ / "data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home_ / "cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (home_ / "runtime").c_str(), 1);
    setenv("GSETTINGS_BACKEND", "memory", 1);
    setenv("GIO_USE_VFS", "local", 1);
    unsetenv("DISPLAY");
  }

  std::filesystem::path configFolder() const { return home_ / "config"; }
  std::filesystem::path dataFolder() const { return home_ / "data"; }
  std::filesystem::path cacheFolder() const { return home_ / "cache"; }

  // A key file under evolution/sources/<uid>.source; write them all before starting.
  void addSource(const std::string& uid, const std::string& text) {
    const auto folder = home_ / "config/evolution/sources";
    std::filesystem::create_directories(folder);
    writeFile(folder / (uid + ".source"), text);
  }

  // Starts the bus and points this process at it; false when it did not start.
  bool start() {
    const auto config = home_ / "bus.conf";
    std::ofstream(config) << "<busconfig><type>session</type><listen>unix:dir="
                          << home_.path().string() << "</listen><auth>EXTERNAL</auth>"
                          << "<servicedir>/usr/share/dbus-1/services</servicedir>"
                          << R"(<policy context="default"><allow send_destination="*" )"
                          << R"(eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>)"
                          << "</policy></busconfig>\n";
    bus_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"dbus-daemon", "--config-file=" + config.string(), "--nofork",
                                 "--nopidfile", "--print-address=3"},
        true);
    const auto address = bus_->readLine(std::chrono::seconds(10));
    if (!address) return false;
    setenv("DBUS_SESSION_BUS_ADDRESS", address->c_str(), 1);
    return true;
  }

 private:
  TempFolder home_;
  std::unique_ptr<ChildProcess> bus_;
};

}  // namespace vorlane::testing
