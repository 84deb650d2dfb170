#include "app/display_check.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace vorlane {
namespace {

TEST(DisplayCheck, SaysWhenThereIsNoDisplayToShowVorlaneOn) {
  const char* const none =
      "vorlane: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start Vorlane "
      "inside a desktop session";
  struct Row {
    const char* name;
    DisplayEnvironment environment;
    bool xOpens;
    const char* message;  // null: start
    const char* platforms;
  };
  const Row rows[] = {
      {"X display that opens", {std::nullopt, ":0", std::nullopt}, true, nullptr, "xcb;wayland"},
      {"nothing set", {std::nullopt, std::nullopt, std::nullopt}, false, none, "xcb;wayland"},
      {"empty variables count as unset", {"", "", ""}, false, none, "xcb;wayland"},
      {"X display that does not open", {std::nullopt, ":99", std::nullopt}, false,
       "vorlane: cannot open the X display \":99\"; start Vorlane inside a desktop session",
       "xcb;wayland"},
      {"Wayland only", {std::nullopt, std::nullopt, "wayland-0"}, false, nullptr, "xcb;wayland"},
      {"dead X display on Wayland", {std::nullopt, ":99", "wayland-0"}, false, nullptr,
       "xcb;wayland"},
      {"the user's own platform", {"offscreen", std::nullopt, std::nullopt}, false, nullptr,
       "offscreen"},
      {"X11 alone, its display opens", {"xcb", ":0", std::nullopt}, true, nullptr, "xcb"},
      {"X11 alone, its display does not open", {"xcb", ":987", "wayland-0"}, false,
       "vorlane: cannot open the X display \":987\"; start Vorlane inside a desktop session",
       "xcb"},
      {"X11 alone with an option", {"xcb:nograb", ":987", std::nullopt}, false,
       "vorlane: cannot open the X display \":987\"; start Vorlane inside a desktop session",
       "xcb:nograb"},
      {"X11 alone without DISPLAY", {"xcb", std::nullopt, "wayland-0"}, false,
       "vorlane: cannot open an X display (DISPLAY is not set, and QT_QPA_PLATFORM asks for "
       "X11 only); start Vorlane inside a desktop session",
       "xcb"},
      {"X11 alone, nothing set", {"xcb", std::nullopt, std::nullopt}, false, none, "xcb"},
      {"the user's list falls back on Wayland", {"xcb;wayland", ":987", std::nullopt}, false,
       nullptr, "xcb;wayland"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> tried;
    const auto message = missingDisplayMessage(row.environment, [&](const std::string& display) {
      tried.push_back(display);
      return row.xOpens;
    });
    EXPECT_EQ(message, row.message ? std::optional<std::string>(row.message) : std::nullopt);
    EXPECT_EQ(qtPlatformsFor(row.environment), row.platforms);
  }
  EXPECT_FALSE(canOpenX11Display(":65000"));  // the real check, on a server that is not there
}

// The real program, started with no display at all, says so and fails, never crashes.
TEST(Program, WithoutAnyDisplayItSaysSoOnStderrAndExitsNonZero) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(QString::fromLatin1(name));
  }
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(VORLANE_PROGRAM), {});
  ASSERT_TRUE(program.waitForFinished(20000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  const QString errors = QString::fromUtf8(program.readAllStandardError());
  EXPECT_TRUE(errors.contains(QStringLiteral("vorlane: no display found"))) << errors.toStdString();
  EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}

// Regression: with X11 asked for and its display out of reach, Qt aborted (SIGABRT, exit 134).
TEST(Program, WithAnX11DisplayItCannotOpenItSaysSoOnStderrAndExitsWithOne) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":987"));
  environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(VORLANE_PROGRAM), {});
  ASSERT_TRUE(program.waitForFinished(-1));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  const QString errors = QString::fromUtf8(program.readAllStandardError());
  EXPECT_TRUE(errors.contains(QStringLiteral("vorlane: cannot open the X display \":987\"")))
      << errors.toStdString();
}

}  // namespace
}  // namespace vorlane
