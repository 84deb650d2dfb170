// What the window manager is told about the feature and preferences windows, read back from
// the X server under openbox. A window of a fixed size says so (its least and greatest sizes
// are its size) and asks for neither minimise nor maximise in its Motif hints; no window asks
// for minimise. Openbox draws its minimise and maximise buttons whatever the hints say, but
// refuses to maximise or resize a fixed window, so only its minimise button acts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSize>
#include <QWindow>
#include <functional>
#include <memory>
#include <string>

#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/x11_peer.h"
#include "ui/kit/feature_window.h"
#include "ui/preferences/window/preferences_window.h"
#include "ui/windows/calendar_consent/calendar_consent_window.h"

namespace vorlane {
namespace {

using testing::X11Peer;

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
constexpr std::uint32_t motifFunctions = 1, motifDecorations = 2;
constexpr std::uint32_t functionMinimise = 8, functionMaximise = 16;
constexpr std::uint32_t decorMinimise = 32, decorMaximise = 64;
// WM_NORMAL_HINTS: flags, four unused words, least and greatest size.
constexpr std::uint32_t leastSize = 16, greatestSize = 32;

QLabel* label(FeatureWindow::CloseAction) { return new QLabel(QStringLiteral("Text")); }

// Content that needs more room than the size asked: the fixed window grows to it.
QLabel* tallLabel(FeatureWindow::CloseAction) {
  auto* tall = new QLabel(QStringLiteral("Tall"));
  tall->setMinimumHeight(320);
  return tall;
}

class WindowHints : public ::testing::Test {
 protected:
  // Managed: openbox has framed the window and said what it allows.
  bool managed(QWidget& window) {
    return testing::processEventsUntil([&] {
      return !x.words(window.winId(), "_NET_WM_ALLOWED_ACTIONS").empty() &&
             !x.words(window.winId(), "_NET_FRAME_EXTENTS").empty();
    });
  }
  bool allows(QWidget& window, const char* action) {
    return x.holds(window.winId(), "_NET_WM_ALLOWED_ACTIONS", action);
  }

  X11Peer x;
};

TEST_F(WindowHints, FixedWindowsAskForCloseOnlyAndOpenboxNeitherResizesNorMaximisesThem) {
  InMemoryPreferencesStore store;
  PreferencesNavigation navigation;
  struct Row {
    const char* name;
    // Shows the window and returns it.
    std::function<QWidget*()> show;
    bool fixed;
  };
  FeatureWindow fixedHost, tallHost, resizableHost;
  std::unique_ptr<CalendarConsentWindow> consent;
  std::unique_ptr<PreferencesWindow> preferences;
  const Row rows[] = {
      {"a fixed feature window",
       [&] {
         fixedHost.show("Fixed", QSize(300, 200), {.resizable = false, .reuseVisible = true},
                        label);
         return fixedHost.window();
       },
       true},
      {"a fixed feature window its content made taller",
       [&] {
         tallHost.show("Tall", QSize(300, 200), {.resizable = false, .reuseVisible = true},
                       tallLabel);
         return tallHost.window();
       },
       true},
      {"the calendar consent window",
       [&] {
         consent = std::make_unique<CalendarConsentWindow>([](CalendarConsentWindow::Answer) {});
         consent->setPlaces({"/home/user/.local/share/evolution/calendar"});
         consent->show();
         return consent.get();
       },
       true},
      {"a resizable feature window",
       [&] {
         resizableHost.show("Resizable", QSize(400, 300), {.resizable = true, .reuseVisible = true},
                            label);
         return resizableHost.window();
       },
       false},
      {"the preferences window",
       [&] {
         preferences =
             std::make_unique<PreferencesWindow>(store, navigation, PreferencesWindow::Services{});
         preferences->show();
         return preferences.get();
       },
       false},
  };
  ASSERT_TRUE(x.ok());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QWidget* window = row.show();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(managed(*window));

    const auto motif = x.words(window->winId(), "_MOTIF_WM_HINTS");
    ASSERT_GE(motif.size(), 3u);
    EXPECT_TRUE(motif[0] & motifFunctions);
    EXPECT_EQ(motif[1] & functionMinimise, 0u) << "no window is minimised";
    EXPECT_TRUE(motif[0] & motifDecorations);
    EXPECT_EQ(motif[2] & decorMinimise, 0u);
    if (row.fixed) {
      EXPECT_EQ(motif[1] & functionMaximise, 0u);
      EXPECT_EQ(motif[2] & decorMaximise, 0u);
    }

    const auto normal = x.words(window->winId(), "WM_NORMAL_HINTS");
    ASSERT_GE(normal.size(), 9u);
    const QSize least{int(normal[5]), int(normal[6])};
    const QSize greatest{int(normal[7]), int(normal[8])};
    EXPECT_TRUE(normal[0] & leastSize);
    EXPECT_EQ(bool(normal[0] & greatestSize) && least == greatest, row.fixed);
    if (row.fixed) {
      EXPECT_EQ(least, window->size());
      EXPECT_GE(window->height(), 200);
    }

    // What openbox makes of it: the drawn maximise button of a fixed window does nothing.
    EXPECT_EQ(allows(*window, "_NET_WM_ACTION_RESIZE"), !row.fixed);
    EXPECT_EQ(allows(*window, "_NET_WM_ACTION_MAXIMIZE_HORZ"), !row.fixed);
    EXPECT_EQ(allows(*window, "_NET_WM_ACTION_MAXIMIZE_VERT"), !row.fixed);
    EXPECT_TRUE(allows(*window, "_NET_WM_ACTION_CLOSE"));
  }
  EXPECT_GE(tallHost.window()->height(), 320);
}

// Openbox's minimise button cannot be taken away: a window minimised with it comes back
// whole when the user asks for it again.
TEST_F(WindowHints, AFeatureWindowMinimisedByTheWindowManagerComesBackWhenAskedAgain) {
  ASSERT_TRUE(x.ok());
  FeatureWindow host;
  QPointer<QWidget> content;
  host.show("Minimised", QSize(300, 200), {.resizable = false, .reuseVisible = true},
            [&](FeatureWindow::CloseAction) {
              content = new QLabel(QStringLiteral("Typed"));
              return content.data();
            });
  ASSERT_TRUE(managed(*host.window()));
  // Qt asks the window manager to minimise only a window it has seen mapped; before that it
  // merely sets the initial state, which a mapped window ignores.
  ASSERT_TRUE(
      testing::processEventsUntil([&] { return host.window()->windowHandle()->isExposed(); }));
  host.window()->showMinimized();
  ASSERT_TRUE(testing::processEventsUntil([&] { return !x.viewable(host.window()->winId()); }));

  host.show("Minimised", QSize(300, 200), {.resizable = false, .reuseVisible = true}, label);
  // Qt hears of the new state after the server maps the window: wait for both.
  EXPECT_TRUE(testing::processEventsUntil([&] {
    return x.viewable(host.window()->winId()) &&
           !(host.window()->windowState() & Qt::WindowMinimized);
  }));
  EXPECT_EQ(host.content(), content.data()) << "shown again, not made again";
}

}  // namespace
}  // namespace vorlane
