// The status item in a running program on a private X server and a private bus: taken by a
// StatusNotifierItem host (a fake watcher here), embedded by an XEmbed tray (trayer), or, with
// neither, not shown at all.

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QImage>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/fake_status_watcher.h"
#include "tests/support/image_pixels.h"
#include "tests/support/private_dbus.h"
#include "tests/support/temp_folder.h"
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

// A report's value for `key` ("ink=#f2f2f2" gives "#f2f2f2").
std::string field(const std::string& report, const std::string& key) {
  const auto at = report.find(key + "=");
  if (at == std::string::npos) return {};
  const auto start = at + key.size() + 1;
  return report.substr(start, report.find_first_of(" \n", start) - start);
}

class TrayX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (xvfb.display().empty() || bus.address().empty()) GTEST_SKIP() << "no X server or bus";
  }

  // The probe on our display and bus; its report line.
  std::string startProbe(bool waitForTray) {
    launchProbe(waitForTray);
    return report();
  }
  void launchProbe(bool waitForTray, bool cover = false) {
    probe.reset();  // one status item at a time
    std::vector<std::string> argv{TRAY_PROBE};
    if (waitForTray) argv.push_back("--wait-for-tray");
    if (cover) argv.push_back("--cover");
    probe = std::make_unique<ChildProcess>(
        argv, true,
        std::vector<std::string>{"DISPLAY=" + xvfb.display(), "QT_QPA_PLATFORM=xcb",
                                 "DBUS_SESSION_BUS_ADDRESS=" + bus.address(),
                                 "WAYLAND_DISPLAY=", "XDG_CURRENT_DESKTOP=", "DESKTOP_SESSION="});
  }
  // The probe's next line: "watching" once it follows the trays, then its report.
  std::string nextLine() {
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
  std::string report() {
    std::string line = nextLine();
    if (line == "watching") line = nextLine();
    return line;
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

// Regression: the item looked for a StatusNotifier host alone, and an XEmbed tray (trayer,
// i3bar, tint2...) never got the icon. One that comes after the start takes it then.
TEST_F(TrayX11Test, AnXEmbedTrayThatComesLaterTakesTheIcon) {
  launchProbe(true);
  ASSERT_EQ(nextLine(), "watching");  // the tray below comes after the item was made
  ChildProcess trayer({"trayer", "--edge", "top", "--widthtype", "pixel", "--width", "200"}, false,
                      {"DISPLAY=" + xvfb.display()});
  const std::string placed = report();
  ASSERT_EQ(placed.rfind("shown=1 ", 0), 0u) << placed;
  EXPECT_NE(placed, "shown=1 geometry=0x0");
  EXPECT_FALSE(field(placed, "ink").empty()) << placed;
}

// Regression: the icon was drawn in the application's text colour, black on a dark panel.
// On an XEmbed tray it takes the panel's colours: light ink on a dark tray, dark on a light
// one, and the screen shows it there.
TEST_F(TrayX11Test, TheIconStandsOutOnALightAndADarkTray) {
  const struct {
    const char* name;
    const char* tint;
    const char* ink;
  } rows[] = {
      {"light", "0xEEEEEE", "#262626"},
      {"dark", "0x202020", "#f2f2f2"},
  };
  testing::TempFolder folder;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto trayer = std::make_unique<ChildProcess>(
        std::vector<std::string>{"trayer", "--edge", "top", "--widthtype", "pixel", "--width",
                                 "200", "--transparent", "true", "--alpha", "0", "--tint",
                                 row.tint},
        false, std::vector<std::string>{"DISPLAY=" + xvfb.display()});
    const std::string report = startProbe(true);
    ASSERT_EQ(report.rfind("shown=1 ", 0), 0u) << report;
    EXPECT_EQ(field(report, "ink"), row.ink) << report;
    // The tray draws the icon once the probe has set it: look along the tray's strip at the
    // top of the screen until the ink shows (the screen around it is black).
    const std::string picture = (folder.path() / (std::string(row.name) + ".png")).string();
    const std::string grab =
        "DISPLAY=" + xvfb.display() + " import -window root -crop 4000x40+0+0 +repage " + picture;
    QImage shown;
    const bool inked = testing::waitUntil(
        [&] {
          QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
          if (std::system(grab.c_str()) != 0) return false;
          shown = QImage(QString::fromStdString(picture));
          return inkedPixels(shown, QColor(QString::fromLatin1(row.ink))) > 0;
        },
        std::chrono::seconds(20));
    EXPECT_TRUE(inked) << report;
    if (const char* folderForShots = std::getenv("VORLANE_SCREENSHOT_DIR"); folderForShots) {
      // The tray alone: what is not the black screen around it.
      QRect tray;
      for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
          if ((shown.pixel(x, y) & 0xFFFFFF) != 0) tray |= QRect(x, y, 1, 1);
        }
      }
      shown.copy(tray)
          .scaled(tray.size() * 3)
          .save(QString::fromLocal8Bit(folderForShots) + "/tray-" + row.name + ".png");
    }
    probe.reset();
    trayer.reset();
  }
}

// Regression: the panel's colour was read from the screen as shown, so the item's menu open
// over the icon was read as the panel and the icon on a dark tray turned dark. While the menu
// covers it the ink stays.
TEST_F(TrayX11Test, TheMenuOverTheIconIsNotReadAsThePanel) {
  ChildProcess trayer({"trayer", "--edge", "top", "--widthtype", "pixel", "--width", "200",
                       "--transparent", "true", "--alpha", "0", "--tint", "0x202020"},
                      false, {"DISPLAY=" + xvfb.display()});
  launchProbe(true, true);
  const std::string placed = report();
  ASSERT_EQ(field(placed, "ink"), "#f2f2f2") << placed;
  const std::string covered = nextLine();
  EXPECT_EQ(covered, "covered ink=#f2f2f2");
}

}  // namespace
}  // namespace vorlane
