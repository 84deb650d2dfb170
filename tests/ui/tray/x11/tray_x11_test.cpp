// The status item in a running program on a private X server and a private bus: taken by a
// StatusNotifierItem host (a fake watcher here), embedded by an XEmbed tray (trayer), or, with
// neither, not shown at all.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/fake_status_watcher.h"
#include "tests/support/private_dbus.h"
#include "tests/support/xvfb_server.h"

namespace vorlane {

namespace {

using testing::ChildProcess;

// A command's standard output.
std::string output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 4096> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) text += buffer.data();
    pclose(pipe);
  }
  return text;
}

class TrayX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (xvfb.display().empty() || bus.address().empty()) GTEST_SKIP() << "no X server or bus";
  }

  // The probe on our display and bus; its report line.
  std::string startProbe(bool waitForTray) {
    probe.reset();  // one status item at a time
    std::vector<std::string> argv{TRAY_PROBE};
    if (waitForTray) argv.push_back("--wait-for-tray");
    probe = std::make_unique<ChildProcess>(
        argv, true,
        std::vector<std::string>{"DISPLAY=" + xvfb.display(), "QT_QPA_PLATFORM=xcb",
                                 "DBUS_SESSION_BUS_ADDRESS=" + bus.address(),
                                 "WAYLAND_DISPLAY=", "XDG_CURRENT_DESKTOP=", "DESKTOP_SESSION="});
    std::optional<std::string> line;
    // Our own event loop answers the probe's calls to the fake watcher meanwhile.
    testing::waitUntil(
        [&] {
          QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
          if (!line) line = probe->readLine(std::chrono::milliseconds(50));
          return line.has_value();
        },
        std::chrono::seconds(90));
    return line.value_or("");
  }

  testing::XvfbServer xvfb;
  testing::PrivateDBus bus;
  std::unique_ptr<ChildProcess> probe;
};

// One server and bus for all three cases, each a run of the probe: no tray, then a host,
// then (the host gone) trayer.
TEST_F(TrayX11Test, NoTrayAStatusNotifierHostThenAnXEmbedTray) {
  EXPECT_EQ(startProbe(false), "shown=0 geometry=0x0");

  QDBusConnection connection =
      QDBusConnection::connectToBus(QString::fromStdString(bus.address()), "tray-test");
  ASSERT_TRUE(connection.isConnected());
  testing::FakeStatusWatcher watcher;
  ASSERT_TRUE(watcher.publish(connection));

  EXPECT_EQ(startProbe(false), "shown=1 geometry=0x0");
  ASSERT_TRUE(testing::waitUntil(
      [&] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return !watcher.items().isEmpty();
      },
      std::chrono::seconds(30)));
  const std::string item = watcher.items().front().toStdString();
  const std::string get = "dbus-send --bus=" + bus.address() + " --print-reply --dest=" + item;
  const std::string property = get +
                               " /StatusNotifierItem org.freedesktop.DBus.Properties.Get"
                               " string:org.kde.StatusNotifierItem string:";
  const std::string status = output(property + "Status");
  EXPECT_NE(status.find("\"Active\""), std::string::npos) << status;
  const std::string menuPath = output(property + "Menu");
  const auto quote = menuPath.find("object path \"");
  ASSERT_NE(quote, std::string::npos) << menuPath;
  const std::string path =
      menuPath.substr(quote + 13, menuPath.find('"', quote + 13) - (quote + 13));

  // The host opens the menu and reads it whole. "&" reaches it as a plain character: Qt
  // marks it as the mnemonic ("_&"), which hosts show as "Plan & reflect".
  output(get + " " + path + " com.canonical.dbusmenu.AboutToShow int32:0");
  const std::string layout =
      output(get + " " + path + " com.canonical.dbusmenu.GetLayout int32:0 int32:-1 array:string:");
  for (const char* label : {"Vorlane now", "Plan _& reflect", "Mascot", "Quit Vorlane",
                            "Click-through mascot", "For an hour"}) {
    EXPECT_NE(layout.find(std::string("\"") + label + "\""), std::string::npos) << label;
  }
  connection.unregisterService("org.kde.StatusNotifierWatcher");
  QDBusConnection::disconnectFromBus("tray-test");
  probe.reset();

  ChildProcess trayer({"trayer", "--edge", "top", "--widthtype", "pixel", "--width", "200"}, false,
                      {"DISPLAY=" + xvfb.display()});
  const std::string report = startProbe(true);
  ASSERT_EQ(report.rfind("shown=1 ", 0), 0u) << report;
  EXPECT_NE(report, "shown=1 geometry=0x0");  // placed on screen by the tray
}

}  // namespace
}  // namespace vorlane
