#pragma once

// The installed program on a DesktopSession, with its own home folder, its log on stderr
// kept in a file, and its wall clock placed and sped up by libfaketime. Its monotonic clock is
// sped up alike, so that Qt's timers and animations keep pace with the faked day.

#include <signal.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "tests/support/desktop_session.h"

namespace vorlane::testing {

constexpr const char* fakeTimeLibrary = "/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1";

// Seconds since the epoch of a local time in `zone` ("YYYY-MM-DD HH:MM:SS").
inline std::time_t localTime(const std::string& zone, const std::string& when) {
  const auto out = commandOutput("TZ=" + quoted(zone) + " date -d " + quoted(when) + " +%s");
  return out ? std::time_t(std::stoll(*out)) : 0;
}

class ProgramRun {
 public:
  struct Clock {
    std::string zone = "Europe/Berlin";
    std::time_t start = 0;  // faked seconds since the epoch at launch
    int speed = 1;
  };

  ProgramRun(const DesktopSession& desktop, std::filesystem::path home)
      : ProgramRun(desktop.environment(), std::move(home)) {}
  // On a display of the test's own making: `desktop` is what the program needs in its
  // environment to reach it (DISPLAY, the buses).
  ProgramRun(std::vector<std::string> desktop, std::filesystem::path home)
      : desktop_(std::move(desktop)), home_(std::move(home)) {
    for (const char* sub : {".config/vorlane", ".local/share/Vorlane", ".cache", "runtime"}) {
      std::filesystem::create_directories(home_ / sub);
    }
    std::filesystem::permissions(home_ / "runtime", std::filesystem::perms::owner_all);
  }
  ~ProgramRun() { stop(SIGTERM); }

  std::filesystem::path configFile(const std::string& key) const {
    return home_ / ".config/vorlane" / (key + ".json");
  }
  std::filesystem::path remindersFile() const {
    return home_ / ".local/share/Vorlane/reminders.json";
  }
  std::filesystem::path logFile() const { return home_ / "vorlane.log"; }
  std::string log() const { return readFile(logFile()).value_or(""); }

  // Starts the program with its clock at `clock.start`; `extra` overrides the environment.
  bool start(const Clock& clock, const std::vector<std::string>& extra = {}) {
    clock_ = clock;
    const auto offset = clock.start - std::time(nullptr);
    std::vector<std::string> env = extra;
    for (std::string e : TestEnvironment::homeAt(home_)) env.push_back(std::move(e));
    for (std::string e : std::vector<std::string>{
             "QT_QPA_PLATFORM=xcb", "TZ=" + clock.zone, "LC_ALL=C.UTF-8", "LANG=C.UTF-8",
             "JOURNAL_STREAM=", std::string("LD_PRELOAD=") + fakeTimeLibrary,
             "FAKETIME=" + std::to_string(offset) + " x" + std::to_string(clock.speed),
             "FAKETIME_DONT_RESET=1"}) {
      env.push_back(std::move(e));
    }
    for (const auto& e : desktop_) env.push_back(e);
    launched_ = std::chrono::steady_clock::now();
    process_ = std::make_unique<ChildProcess>(std::vector<std::string>{program()}, false, env,
                                              logFile().string());
    return process_->started();
  }

  // The program's faked time now, as its clock runs.
  std::time_t fakeNow() const {
    const auto real = std::chrono::duration<double>(std::chrono::steady_clock::now() - launched_);
    return clock_.start + std::time_t(real.count() * clock_.speed);
  }
  // Real time for `fakeSeconds` of the program's clock.
  std::chrono::milliseconds real(double fakeSeconds) const {
    return std::chrono::milliseconds(long(fakeSeconds * 1000 / clock_.speed));
  }

  pid_t pid() const { return process_ ? process_->pid() : -1; }
  bool running() { return process_ && process_->running(); }
  // The wait status once it has ended by itself (after `running()` found it ended).
  std::optional<int> exitStatus() const { return process_ ? process_->exitStatus() : std::nullopt; }

  // Sends `signal` and waits up to 30 s for the end; the wait status, none if it did not end.
  std::optional<int> stop(int signal) {
    if (!process_) return std::nullopt;
    const auto status = process_->stop(signal, std::chrono::seconds(30));
    process_.reset();
    return status;
  }

  size_t count(const std::string& text) const {
    const std::string all = log();
    size_t n = 0;
    for (size_t at = 0; (at = all.find(text, at)) != std::string::npos; at += text.size()) ++n;
    return n;
  }
  bool waitForLine(const std::string& text, std::chrono::milliseconds limit, size_t times = 1) {
    return waitUntil([&] { return count(text) >= times; }, limit);
  }

 private:
  // The build's program, or another build's named by $VORLANE_E2E_PROGRAM.
  static std::string program() {
    const char* other = std::getenv("VORLANE_E2E_PROGRAM");
    return other && *other ? other : VORLANE_PROGRAM;
  }
  std::vector<std::string> desktop_;
  std::filesystem::path home_;
  Clock clock_;
  std::chrono::steady_clock::time_point launched_;
  std::unique_ptr<ChildProcess> process_;
};

}  // namespace vorlane::testing
