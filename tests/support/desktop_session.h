#pragma once

// A whole desktop of the test's own, started piece by piece and stopped in reverse order:
// a private X server with openbox (and xcompmgr), an XEmbed tray (trayer), a private session
// bus with a notification daemon (dunst), a second private bus standing in for the system bus
// with a fake logind and screen saver, and a PulseAudio server whose only sink is a null sink
// recorded to a file. Each piece is optional, so that a test can leave one out. The pieces
// live in a home in the desktop's folder, whatever the caller's session holds.

#include <signal.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/private_dbus.h"
#include "tests/support/temp_folder.h"
#include "tests/support/xvfb_server.h"

namespace vorlane::testing {

struct DesktopPieces {
  bool compositor = true;
  bool tray = true;
  bool notifications = true;
  bool sound = true;
  // The tray's panel colour ("0x202020"); empty: the toolkit's own, opaque.
  std::string trayTint = {};
  // The screen edge the tray's panel lies along and where on it the panel and its icons sit.
  std::string trayEdge = "top";
  std::string trayAlign = "left";
};

// The installed services (the calendar service) started on demand by the session bus, living
// in `home` with the folders a ProgramRun there uses.
inline BusServices installedServicesAt(const std::filesystem::path& home) {
  auto environment = TestEnvironment::homeAt(home);
  environment.insert(environment.end(), {"GSETTINGS_BACKEND=memory", "GIO_USE_VFS=local"});
  return {true, environment};
}

// A shell command's standard output (at most `limit` bytes), or none when it failed.
inline std::optional<std::string> commandOutput(const std::string& command,
                                                std::size_t limit = 65536) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0 && out.size() < limit;) {
    out.append(buffer, n);
  }
  return ::pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
}

inline std::string quoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class DesktopSession {
 public:
  static constexpr const char* sinkName = "vorlane_e2e";
  static constexpr int recordingRate = 8000;

  // `sessionServices`: what the session bus may start; by default nothing.
  explicit DesktopSession(DesktopPieces pieces = {}, const std::string& screen = "1280x800x24",
                          const BusServices& sessionServices = {})
      : pieces_(pieces), sessionBus_(sessionServices) {
    xvfb_ = std::make_unique<XvfbServer>(screen);
    if (xvfb_->display().empty()) {
      fail("Xvfb did not start");
      return;
    }
    if (sessionBus_.address().empty() || systemBus_.address().empty()) {
      {
        fail("dbus-daemon did not start");
        return;
      }
    }
    const auto env = environment();
    windowManager_ = start({"openbox", "--sm-disable"}, env);
    if (!waitUntil([&] { return shell("wmctrl -m"); }, seconds(30))) {
      {
        fail("openbox did not start");
        return;
      }
    }
    if (pieces.compositor) {
      compositor_ = start({"xcompmgr"}, env);
      if (!waitUntil([&] { return selectionOwned("_NET_WM_CM_S0"); }, seconds(30))) {
        {
          fail("xcompmgr did not start");
          return;
        }
      }
    }
    services_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{VORLANE_FAKE_SESSION_SERVICES}, true, env);
    if (services_->readLine(seconds(20)) != "ready") {
      {
        fail("the fake logind and screen saver did not start");
        return;
      }
    }
    if (pieces.tray && !startTray()) return;
    if (pieces.notifications) {
      notifications_ = start({"dunst", "-config", "/dev/null"}, env);
      if (!waitUntil([&] { return shell("dunstctl is-paused"); }, seconds(30))) {
        {
          fail("dunst did not start");
          return;
        }
      }
    }
    // Everything the program asks the notification daemon, whoever answers.
    notifyWatch_ = start({"sh", "-c",
                          "exec dbus-monitor --address " + quoted(sessionBus_.address()) +
                              " \"type='method_call',interface='org.freedesktop.Notifications',"
                              "member='Notify'\" >" +
                              quoted(notifyLog().string())},
                         env);
    if (pieces.sound && !startSound()) {
      fail("pulseaudio did not start");
      return;
    }
    ready_ = true;
  }
  ~DesktopSession() {
    if (sessionBusHeld_) holdSessionBus(false);
    // Reverse order: the recorder before its server, the daemons before their buses.
    recorder_.reset();
    sound_.reset();
    notifyWatch_.reset();
    notifications_.reset();
    tray_.reset();
    services_.reset();
    compositor_.reset();
    windowManager_.reset();
  }

  bool ready() const { return ready_; }

  // Starts the XEmbed tray (trayer, a panel at the top left of the screen unless the pieces
  // place it elsewhere) and waits until it owns the tray selection and openbox manages its
  // panel; false, with the failure said, when it does not. Run by the constructor unless the
  // pieces leave the tray out.
  bool startTray() {
    std::vector<std::string> trayer{
        "trayer",      "--edge",  pieces_.trayEdge, "--align", pieces_.trayAlign,
        "--widthtype", "request", "--height",       "24",      "--SetDockType",
        "true"};
    for (const std::string& option :
         pieces_.trayTint.empty() ? std::vector<std::string>{"--transparent", "false"}
                                  : std::vector<std::string>{"--transparent", "true", "--alpha",
                                                             "0", "--tint", pieces_.trayTint}) {
      trayer.push_back(option);
    }
    tray_ = start(trayer, environment());
    if (!waitUntil([&] { return selectionOwned("_NET_SYSTEM_TRAY_S0"); }, seconds(30))) {
      fail("trayer did not start");
      return false;
    }
    // Its panel is the first window openbox takes; until then it takes none of ours.
    if (!waitUntilManaged([&] { return managesClass("trayer"); }, seconds(60))) {
      fail("openbox never managed the tray's panel");
      return false;
    }
    return true;
  }
  pid_t trayPid() const { return tray_ ? tray_->pid() : -1; }
  // Ends the XEmbed tray, as a panel that quits or crashes would.
  void stopTray() { tray_.reset(); }
  const std::string& failure() const { return failure_; }
  const std::string& display() const { return xvfb_->display(); }
  const std::filesystem::path& folder() const { return folder_.path(); }

  // What a program on this desktop needs in its environment: the display, the buses, the
  // sound server, and the pieces' home (a program with a home of its own names it first).
  std::vector<std::string> environment() const {
    std::vector<std::string> env{"DISPLAY=" + display(),
                                 "DBUS_SESSION_BUS_ADDRESS=" + sessionBus_.address(),
                                 "DBUS_SYSTEM_BUS_ADDRESS=" + systemBus_.address(),
                                 "PULSE_SERVER=unix:" + (folder_ / "pulse/native").string(),
                                 "WAYLAND_DISPLAY=",
                                 "XDG_CURRENT_DESKTOP="};
    env.insert(env.end(), home_.begin(), home_.end());
    return env;
  }

  // The fake logind and screen saver.
  bool lock(bool on) { return control("Lock", on); }
  bool sleep(bool on) { return control("Sleep", on); }
  bool screenSaver(bool on) { return control("ScreenSaver", on); }
  // Whether they answer calls; false: they take every call and answer none, as hung services.
  bool answer(bool on) { return control("Answer", on); }

  // Holds the session bus's daemon (SIGSTOP), as a stalled machine would: every call on the
  // bus waits until it goes on again (SIGCONT). The desktop lets it go on before it ends.
  bool holdSessionBus(bool held) {
    if (held == sessionBusHeld_) return true;
    sessionBusHeld_ = held;
    return ::kill(sessionBus_.pid(), held ? SIGSTOP : SIGCONT) == 0;
  }

  // How many notifications the program has sent, and how many dunst holds (shown,
  // waiting or in its history).
  int notificationsSent() const {
    const auto log = readFile(notifyLog());
    int count = 0;
    for (size_t at = 0; log && (at = log->find("member=Notify", at)) != std::string::npos; ++at) {
      ++count;
    }
    return count;
  }
  int notificationsReceived() const {
    int total = 0;
    for (const char* which : {"displayed", "waiting", "history"}) {
      const auto out = commandOutput(withEnvironment("dunstctl count " + std::string(which)));
      if (out) total += std::atoi(out->c_str());
    }
    return total;
  }
  std::string notificationBodies() const { return readFile(notifyLog()).value_or(""); }

  // Stretches of sound at the null sink: runs of loud tenths of a second, each at least
  // `gapTenths` quiet tenths from the last.
  int soundBursts(int gapTenths = 5) const {
    const auto bytes = readFile(folder_ / "sink.raw").value_or("");
    const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.data());
    const size_t count = bytes.size() / 2, tenth = recordingRate / 10;
    int bursts = 0, quiet = gapTenths;
    for (size_t start = 0; start + tenth <= count; start += tenth) {
      int peak = 0;
      for (size_t i = start; i < start + tenth; ++i)
        peak = std::max(peak, std::abs(int(samples[i])));
      if (peak > 300) {
        if (quiet >= gapTenths) ++bursts;
        quiet = 0;
      } else {
        ++quiet;
      }
    }
    return bursts;
  }

  // The windows the window manager manages (_NET_CLIENT_LIST), oldest first.
  std::vector<std::uint32_t> managedWindows() const {
    std::vector<std::uint32_t> windows;
    withConnection([&](xcb_connection_t* c, xcb_window_t root) {
      auto* reply = xcb_get_property_reply(
          c, xcb_get_property(c, 0, root, atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 0, 1024),
          nullptr);
      if (reply != nullptr && reply->format == 32) {
        const auto* ids = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        windows.assign(ids, ids + xcb_get_property_value_length(reply) / 4);
      }
      std::free(reply);
    });
    return windows;
  }
  // Whether the window manager manages a window of this WM_CLASS instance or class, in
  // lower case.
  bool managesClass(const std::string& windowClass) const {
    bool found = false;
    const auto windows = managedWindows();
    withConnection([&](xcb_connection_t* c, xcb_window_t) {
      for (const std::uint32_t window : windows) {
        auto* reply = xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr);
        if (reply != nullptr) {
          // Instance and class, each ended by a zero.
          std::string names(static_cast<const char*>(xcb_get_property_value(reply)),
                            std::size_t(xcb_get_property_value_length(reply)));
          for (char& ch : names) ch = char(std::tolower(static_cast<unsigned char>(ch)));
          found = found || names.find(windowClass + '\0') != std::string::npos;
        }
        std::free(reply);
      }
    });
    return found;
  }
  // The process (_NET_WM_PID) of the window that takes the pointer where it is now, as the
  // server finds it (input shapes included), searched from the innermost window outwards;
  // none when no window on the way names one.
  std::optional<std::uint32_t> processUnderPointer() const {
    std::vector<xcb_window_t> path;
    withConnection([&](xcb_connection_t* c, xcb_window_t root) {
      for (xcb_window_t w = root; w != XCB_WINDOW_NONE;) {
        auto* reply = xcb_query_pointer_reply(c, xcb_query_pointer(c, w), nullptr);
        w = reply != nullptr ? reply->child : xcb_window_t(XCB_WINDOW_NONE);
        std::free(reply);
        if (w != XCB_WINDOW_NONE) path.push_back(w);
      }
    });
    std::optional<std::uint32_t> pid;
    withConnection([&](xcb_connection_t* c, xcb_window_t) {
      for (auto w = path.rbegin(); w != path.rend() && !pid; ++w) {
        auto* reply = xcb_get_property_reply(
            c, xcb_get_property(c, 0, *w, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1),
            nullptr);
        if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) == 4) {
          pid = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        }
        std::free(reply);
      }
    });
    return pid;
  }
  // A change of a root property nobody reads. Under load openbox may leave new windows
  // unmanaged until some other X event wakes it; this is one.
  void nudgeWindowManager() const {
    withConnection([&](xcb_connection_t* c, xcb_window_t root) {
      const std::uint32_t value = ++nudges_;
      xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, atom(c, "_VORLANE_TEST_NUDGE"),
                          XCB_ATOM_CARDINAL, 32, 1, &value);
    });
  }
  // Waits until `ready` holds, nudging the window manager every half second meanwhile: for
  // what waits on it (a window managed, raised, given the keyboard).
  template <typename Predicate>
  bool waitUntilManaged(Predicate ready, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      if (waitUntil(ready, std::chrono::milliseconds(500))) return true;
      nudgeWindowManager();
    }
    return ready();
  }

  // The whole screen as a PNG file.
  bool screenshot(const std::filesystem::path& file) const {
    return shell("import -window root " + quoted(file.string()));
  }
  // A shell command run with this desktop's environment; whether it succeeded.
  bool shell(const std::string& command) const {
    return std::system(withEnvironment(command + " >/dev/null 2>&1").c_str()) == 0;
  }
  std::string withEnvironment(const std::string& command) const {
    std::string line = "env";
    for (const auto& e : environment()) line += " " + quoted(e);
    return line + " sh -c " + quoted(command);
  }

 private:
  static std::chrono::milliseconds seconds(int n) { return std::chrono::seconds(n); }
  std::filesystem::path notifyLog() const { return folder_ / "notify.log"; }
  void fail(const std::string& why) { failure_ = why; }
  static std::unique_ptr<ChildProcess> start(const std::vector<std::string>& argv,
                                             const std::vector<std::string>& env) {
    return std::make_unique<ChildProcess>(argv, false, env);
  }
  // Runs `use` on a connection of its own to this display, when one could be made.
  template <typename Use>
  void withConnection(Use use) const {
    xcb_connection_t* c = xcb_connect(display().c_str(), nullptr);
    if (xcb_connection_has_error(c) == 0) {
      use(c, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root);
      std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // handled
    }
    xcb_disconnect(c);
  }
  static xcb_atom_t atom(xcb_connection_t* c, const std::string& name) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, std::uint16_t(name.size()), name.c_str()), nullptr);
    const xcb_atom_t a = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
  }
  bool selectionOwned(const std::string& name) const {
    xcb_connection_t* c = xcb_connect(display().c_str(), nullptr);
    bool owned = false;
    if (xcb_connection_has_error(c) == 0) {
      auto* atom = xcb_intern_atom_reply(
          c, xcb_intern_atom(c, 0, std::uint16_t(name.size()), name.c_str()), nullptr);
      if (atom != nullptr) {
        auto* owner =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
        owned = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
      }
      std::free(atom);
    }
    xcb_disconnect(c);
    return owned;
  }
  bool control(const std::string& member, bool on) const {
    return shell("dbus-send --bus=" + quoted(systemBus_.address()) +
                 " --print-reply --dest=org.freedesktop.login1 /com/corvantis/vorlane/FakeDesktop "
                 "com.corvantis.vorlane.FakeDesktop." +
                 member + " boolean:" + (on ? "true" : "false"));
  }
  bool startSound() {
    const auto runtime = folder_ / "pulse";
    std::filesystem::create_directories(runtime);
    const std::string socket = (runtime / "native").string();
    sound_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                 "--use-pid-file=no", "--system=no", "-L",
                                 std::string("module-null-sink sink_name=") + sinkName, "-L",
                                 "module-native-protocol-unix auth-anonymous=1 socket=" + socket},
        false,
        std::vector<std::string>{"XDG_RUNTIME_DIR=" + runtime.string(), "HOME=" + runtime.string(),
                                 "PULSE_SERVER="});
    // A server that has ended will not answer: no use waiting for it.
    if (!waitUntil([&] { return !sound_->running() || shell("pactl info"); }, seconds(30)) ||
        !sound_->running()) {
      return false;
    }
    recorder_ = start({"sh", "-c",
                       "exec parec -d " + std::string(sinkName) +
                           ".monitor --rate=" + std::to_string(recordingRate) +
                           " --channels=1 --format=s16le --latency-msec=100 >" +
                           quoted((folder_ / "sink.raw").string())},
                      environment());
    return true;
  }

  DesktopPieces pieces_;
  TempFolder folder_;
  std::vector<std::string> home_ = TestEnvironment::homeAt(folder_ / "home");
  std::unique_ptr<XvfbServer> xvfb_;
  PrivateDBus sessionBus_, systemBus_;
  std::unique_ptr<ChildProcess> windowManager_, compositor_, services_, tray_, notifications_,
      notifyWatch_, sound_, recorder_;
  bool ready_ = false;
  bool sessionBusHeld_ = false;
  std::string failure_;
  mutable std::uint32_t nudges_ = 0;
};

}  // namespace vorlane::testing
