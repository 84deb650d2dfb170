#include "app/display_check.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <initializer_list>
#include <utility>

#include "app/qt_platform_plugin.h"
#include "app/x11_display_hold.h"

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
      {"X display that does not open",
       {std::nullopt, ":99", std::nullopt},
       false,
       "vorlane: cannot open the X display \":99\"; start Vorlane inside a desktop session",
       "xcb;wayland"},
      {"Wayland only", {std::nullopt, std::nullopt, "wayland-0"}, false, nullptr, "xcb;wayland"},
      {"dead X display on Wayland",
       {std::nullopt, ":99", "wayland-0"},
       false,
       nullptr,
       "xcb;wayland"},
      {"the user's own platform",
       {"offscreen", std::nullopt, std::nullopt},
       false,
       nullptr,
       "offscreen"},
      {"X11 alone, its display opens", {"xcb", ":0", std::nullopt}, true, nullptr, "xcb"},
      {"X11 alone, its display does not open",
       {"xcb", ":987", "wayland-0"},
       false,
       "vorlane: cannot open the X display \":987\"; start Vorlane inside a desktop session",
       "xcb"},
      {"X11 alone with an option",
       {"xcb:nograb", ":987", std::nullopt},
       false,
       "vorlane: cannot open the X display \":987\"; start Vorlane inside a desktop session",
       "xcb:nograb"},
      {"X11 alone without DISPLAY",
       {"xcb", std::nullopt, "wayland-0"},
       false,
       "vorlane: cannot open an X display (DISPLAY is not set, and QT_QPA_PLATFORM asks for "
       "X11 only); start Vorlane inside a desktop session",
       "xcb"},
      {"X11 alone, nothing set", {"xcb", std::nullopt, std::nullopt}, false, none, "xcb"},
      {"the user's list falls back on Wayland",
       {"xcb;wayland", ":987", std::nullopt},
       false,
       nullptr,
       "xcb;wayland"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> tried;
    const auto message = missingDisplayMessage(
        row.environment,
        [&](const std::string& display) {
          tried.push_back(display);
          return row.xOpens;
        },
        [] { return true; });
    EXPECT_EQ(message, row.message ? std::optional<std::string>(row.message) : std::nullopt);
    EXPECT_EQ(qtPlatformsFor(row.environment).platforms, row.platforms);
  }
}

// Qt aborts on a Wayland platform it cannot make (the platform missing, no compositor), and
// Vorlane's windows need X11 anyway: where an X display is named, that is what Qt gets.
TEST(DisplayCheck, SetsAsideAChoiceOfWaylandAloneForX11WhereDisplayIsSet) {
  const char* const needsX =
      "vorlane: DISPLAY is not set; Vorlane needs an X display (XWayland on a Wayland desktop)";
  struct Row {
    const char* name;
    DisplayEnvironment environment;
    bool xOpens;
    const char* message;  // null: start
    const char* platforms;
    bool setAside;
  };
  const Row rows[] = {
      {"Wayland on XWayland", {"wayland", ":0", "wayland-0"}, true, nullptr, "xcb", true},
      {"Wayland with EGL", {"wayland-egl", ":0", "wayland-0"}, true, nullptr, "xcb", true},
      {"Wayland platforms only, with options",
       {"wayland-egl:option;Wayland", ":0", std::nullopt},
       true,
       nullptr,
       "xcb",
       true},
      {"empty entries in the list", {";wayland;", ":0", std::nullopt}, true, nullptr, "xcb", true},
      {"Wayland, X display that does not open",
       {"wayland", ":99", std::nullopt},
       false,
       "vorlane: cannot open the X display \":99\"; start Vorlane inside a desktop session",
       "xcb",
       true},
      {"Wayland, dead X display on Wayland",
       {"wayland", ":99", "wayland-0"},
       false,
       "vorlane: cannot open the X display \":99\"; Vorlane needs an X display (XWayland on a "
       "Wayland desktop)",
       "xcb",
       true},
      {"Wayland without DISPLAY",
       {"wayland", std::nullopt, "wayland-0"},
       false,
       needsX,
       "wayland",
       false},
      {"Wayland with an empty DISPLAY",
       {"wayland", "", "wayland-0"},
       false,
       needsX,
       "wayland",
       false},
      {"Wayland, nothing set",
       {"wayland", std::nullopt, std::nullopt},
       false,
       "vorlane: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start Vorlane "
       "inside a desktop session",
       "wayland",
       false},
      {"a list that falls back on X11 is the user's",
       {"wayland;xcb", ":0", "wayland-0"},
       true,
       nullptr,
       "wayland;xcb",
       false},
      {"offscreen is the user's",
       {"offscreen", ":0", "wayland-0"},
       true,
       nullptr,
       "offscreen",
       false},
      {"minimal is the user's", {"minimal", ":0", std::nullopt}, true, nullptr, "minimal", false},
      {"a name only beginning like Wayland's is the user's",
       {"waylandish;offscreen", ":0", std::nullopt},
       true,
       nullptr,
       "waylandish;offscreen",
       false},
      {"X11 named in capitals is X11 alone",
       {"XCB", ":99", std::nullopt},
       false,
       "vorlane: cannot open the X display \":99\"; start Vorlane inside a desktop session",
       "XCB",
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto message = missingDisplayMessage(
        row.environment, [&](const std::string&) { return row.xOpens; },
        // Qt's Wayland platform is there: it still is not asked for.
        [] { return true; });
    EXPECT_EQ(message, row.message ? std::optional<std::string>(row.message) : std::nullopt);
    const QtPlatformChoice choice = qtPlatformsFor(row.environment);
    EXPECT_EQ(choice.platforms, row.platforms);
    EXPECT_EQ(choice.waylandSetAside, row.setAside);
  }
}

// Without Qt's Wayland platform our list has nothing to fall back on: Qt would abort.
TEST(DisplayCheck, SaysVorlaneNeedsAnXDisplayWhereQtCannotFallBackOnWayland) {
  struct Row {
    const char* name;
    DisplayEnvironment environment;
    bool xOpens;
    bool waylandLoads;
    const char* message;  // null: start
    bool waylandAsked;
  };
  const Row rows[] = {
      {"Wayland alone, its platform loads",
       {std::nullopt, std::nullopt, "wayland-0"},
       false,
       true,
       nullptr,
       true},
      {"Wayland alone, no platform for it",
       {std::nullopt, std::nullopt, "wayland-0"},
       false,
       false,
       "vorlane: DISPLAY is not set; Vorlane needs an X display (XWayland on a Wayland desktop)",
       true},
      {"dead X display on Wayland, no platform for it",
       {std::nullopt, ":99", "wayland-0"},
       false,
       false,
       "vorlane: cannot open the X display \":99\"; Vorlane needs an X display (XWayland on a "
       "Wayland desktop)",
       true},
      {"XWayland answers", {std::nullopt, ":0", "wayland-0"}, true, false, nullptr, false},
      {"X11 alone asked for: no fall-back to look for",
       {"xcb", ":99", "wayland-0"},
       false,
       false,
       "vorlane: cannot open the X display \":99\"; start Vorlane inside a desktop session",
       false},
      {"the user's own list",
       {"wayland;xcb", std::nullopt, "wayland-0"},
       false,
       false,
       nullptr,
       false},
      // Wayland alone is set aside for X11, which has no fall-back to look for.
      {"the user's Wayland alone",
       {"wayland", std::nullopt, "wayland-0"},
       false,
       true,
       "vorlane: DISPLAY is not set; Vorlane needs an X display (XWayland on a Wayland desktop)",
       false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    bool asked = false;
    const auto message = missingDisplayMessage(
        row.environment, [&](const std::string&) { return row.xOpens; },
        [&] {
          asked = true;
          return row.waylandLoads;
        });
    EXPECT_EQ(message, row.message ? std::optional<std::string>(row.message) : std::nullopt);
    EXPECT_EQ(asked, row.waylandAsked);
  }
}

TEST(X11DisplayHold, HoldsNothingWhereNoServerAnswers) {
  X11DisplayHold hold;
  EXPECT_FALSE(hold.open(":65000"));  // the real connection, to a server that is not there
  EXPECT_FALSE(hold.holds());
  hold.release();  // harmless with nothing held
}

TEST(QtPlatformPlugin, LoadsWhatQtHasAndNothingItLacks) {
  EXPECT_TRUE(qtPlatformPluginLoads("offscreen"));
  EXPECT_TRUE(qtPlatformPluginLoads("XCB")) << "keys are matched as Qt matches them";
  EXPECT_FALSE(qtPlatformPluginLoads("no-such-platform"));
}

// How the real program ended, started with these variables changed: a null value removes one.
struct ProgramEnd {
  bool finished = false;
  QProcess::ExitStatus status = QProcess::CrashExit;
  int code = -1;
  QString errors;
  QByteArray output;
};
ProgramEnd runProgram(std::initializer_list<std::pair<const char*, const char*>> changes) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const auto& [name, value] : changes) {
    if (value) {
      environment.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    } else {
      environment.remove(QString::fromLatin1(name));
    }
  }
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(VORLANE_PROGRAM), {});
  ProgramEnd end;
  end.finished = program.waitForFinished(-1);
  end.status = program.exitStatus();
  end.code = program.exitCode();
  end.errors = QString::fromUtf8(program.readAllStandardError());
  end.output = program.readAllStandardOutput();
  return end;
}

// The real program, started with no display at all, says so and fails, never crashes.
TEST(Program, WithoutAnyDisplayItSaysSoOnStderrAndExitsNonZero) {
  const ProgramEnd end = runProgram(
      {{"DISPLAY", nullptr}, {"WAYLAND_DISPLAY", nullptr}, {"QT_QPA_PLATFORM", nullptr}});
  ASSERT_TRUE(end.finished);
  EXPECT_EQ(end.status, QProcess::NormalExit);
  EXPECT_EQ(end.code, 1);
  EXPECT_TRUE(end.errors.contains(QStringLiteral("vorlane: no display found")))
      << end.errors.toStdString();
  EXPECT_TRUE(end.output.isEmpty());
}

// Regression: with only WAYLAND_DISPLAY set, Qt fell back on a Wayland platform it does not
// have and aborted (SIGABRT, exit 134).
TEST(Program, OnWaylandWithoutQtsWaylandPlatformItSaysItNeedsXAndExitsWithOne) {
  if (qtPlatformPluginLoads("wayland")) {
    GTEST_SKIP() << "Qt's Wayland platform is installed here: Qt would take the fall-back";
  }
  const ProgramEnd end = runProgram(
      {{"DISPLAY", nullptr}, {"QT_QPA_PLATFORM", nullptr}, {"WAYLAND_DISPLAY", "wayland-0"}});
  ASSERT_TRUE(end.finished);
  EXPECT_EQ(end.status, QProcess::NormalExit);
  EXPECT_EQ(end.code, 1);
  EXPECT_EQ(end.errors.toStdString(),
            "vorlane: DISPLAY is not set; Vorlane needs an X display (XWayland on a Wayland "
            "desktop)\n");
}

// Regression: a Wayland user's QT_QPA_PLATFORM aborted the start (SIGABRT, exit 134). With no
// X display to run on instead, the program says what it needs.
TEST(Program, AskedForWaylandAloneWithoutDisplayItSaysItNeedsXAndExitsWithOne) {
  struct Row {
    const char* name;
    const char* platforms;
    const char* waylandDisplay;
    const char* errors;
  };
  const Row rows[] = {
      {"on Wayland", "wayland", "wayland-0",
       "vorlane: DISPLAY is not set; Vorlane needs an X display (XWayland on a Wayland "
       "desktop)\n"},
      {"Wayland platforms only, on Wayland", "wayland-egl;wayland", "wayland-0",
       "vorlane: DISPLAY is not set; Vorlane needs an X display (XWayland on a Wayland "
       "desktop)\n"},
      {"no display at all", "wayland", nullptr,
       "vorlane: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set); start Vorlane "
       "inside a desktop session\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ProgramEnd end = runProgram({{"QT_QPA_PLATFORM", row.platforms},
                                       {"DISPLAY", nullptr},
                                       {"WAYLAND_DISPLAY", row.waylandDisplay}});
    ASSERT_TRUE(end.finished);
    EXPECT_EQ(end.status, QProcess::NormalExit);
    EXPECT_EQ(end.code, 1);
    EXPECT_EQ(end.errors.toStdString(), row.errors);
  }
}

// Regression: with X11 asked for and its display out of reach, Qt aborted (SIGABRT, exit 134).
TEST(Program, WithAnX11DisplayItCannotOpenItSaysSoOnStderrAndExitsWithOne) {
  const ProgramEnd end =
      runProgram({{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":987"}, {"WAYLAND_DISPLAY", nullptr}});
  ASSERT_TRUE(end.finished);
  EXPECT_EQ(end.status, QProcess::NormalExit);
  EXPECT_EQ(end.code, 1);
  EXPECT_TRUE(end.errors.contains(QStringLiteral("vorlane: cannot open the X display \":987\"")))
      << end.errors.toStdString();
}

}  // namespace
}  // namespace vorlane
