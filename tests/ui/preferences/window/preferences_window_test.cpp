#include "ui/preferences/window/preferences_window.h"

#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "tests/support/preferences_services.h"
#include "tests/ui/preferences/recording_preferences_store.h"
#include "ui/kit/feature_window.h"
#include "ui/kit/text_roles.h"
#include "ui/preferences/controls/color_well_row.h"
#include "ui/preferences/panels/appearance_panel.h"
#include "ui/preferences/panels/desktop_panel.h"
#include "ui/preferences/panels/focus_panel.h"
#include "ui/preferences/panels/quiet_panel.h"
#include "ui/preferences/panels/voice_panel.h"
#include "ui/preferences/window/preferences_sidebar.h"

namespace vorlane {
namespace {

PreferencesWindow::Services services() {
  PreferencesWindow::Services given = preferencesServices();
  given.appNames = AppNames({}, "");
  return given;
}

TEST(PreferencesWindow, OpensOnTheNavigationsPanelAndFollowsItWhileOpen) {
  testing::RecordingPreferencesStore store;
  PreferencesNavigation navigation;
  PreferencesWindow window(store, navigation, services());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Vorlane Preferences"));
  EXPECT_EQ(window.size(), QSize(780, 660));
  EXPECT_EQ(window.minimumSize(), QSize(720, 560));
  EXPECT_EQ(window.shownSection(), PreferencesSection::desktop);
  EXPECT_EQ(window.title()->text(), QStringLiteral("Desktop"));
  EXPECT_TRUE(window.sidebar()->row(PreferencesSection::desktop)->isSelected());

  const struct {
    std::optional<PreferencesSection> selection;
    PreferencesSection shown;
    const char* title;
  } rows[] = {
      {PreferencesSection::voice, PreferencesSection::voice, "Voice"},
      {PreferencesSection::quiet, PreferencesSection::quiet, "Schedule & Quiet"},
      {std::nullopt, PreferencesSection::desktop, "Desktop"},
      {PreferencesSection::focus, PreferencesSection::focus, "Focus"},
  };
  for (const auto& row : rows) {
    navigation.setSelection(row.selection);
    EXPECT_EQ(window.shownSection(), row.shown) << row.title;
    EXPECT_EQ(window.title()->text(), QString::fromUtf8(row.title));
    EXPECT_EQ(window.sidebar()->selectedItems().size(), row.selection ? 1 : 0) << row.title;
  }
  EXPECT_NE(dynamic_cast<FocusPanel*>(window.panel()), nullptr);
  EXPECT_TRUE(store.writes.empty());
}

TEST(PreferencesWindow, SidebarClicksSelectPanelsAndHeadersAreNotRows) {
  testing::RecordingPreferencesStore store;
  PreferencesNavigation navigation(PreferencesSection::voice);
  PreferencesWindow window(store, navigation, services());
  EXPECT_NE(dynamic_cast<VoicePanel*>(window.panel()), nullptr);
  PreferencesSidebar& sidebar = *window.sidebar();
  EXPECT_EQ(sidebar.count(), 8) << "two headers and six rows";
  EXPECT_EQ(sidebar.item(0)->text(), QStringLiteral("Workspace"));
  EXPECT_EQ(sidebar.item(0)->flags(), Qt::NoItemFlags);
  for (const PreferencesSection section : allPreferencesSections) {
    EXPECT_FALSE(sidebar.row(section)->icon().isNull()) << rawValue(section);
  }
  sidebar.row(PreferencesSection::quiet)->setSelected(true);
  EXPECT_EQ(navigation.selection(), PreferencesSection::quiet);
  EXPECT_NE(dynamic_cast<QuietPanel*>(window.panel()), nullptr);
  EXPECT_EQ(window.subtitle()->text(),
            QStringLiteral("Choose when Vorlane visits\u2014and when it stays out of the way."));
  sidebar.clearSelection();
  EXPECT_EQ(navigation.selection(), std::nullopt);
  EXPECT_EQ(window.title()->text(), QStringLiteral("Desktop"));
}

// The header keeps its sizes whatever the user's font, as the page under it does: a title
// of 25 pixels, semibold, and a subtitle the size of the page's text (never smaller).
TEST(PreferencesWindow, TheHeaderIsSizedWithThePageUnderIt) {
  const QFont saved = QApplication::font();
  for (int pixels : {12, 18}) {
    SCOPED_TRACE(pixels);
    QFont font = saved;
    font.setPixelSize(pixels);
    QApplication::setFont(font);
    testing::RecordingPreferencesStore store;
    PreferencesNavigation navigation;
    PreferencesWindow window(store, navigation, services());
    QApplication::setFont(saved);
    EXPECT_EQ(window.title()->font().pixelSize(), 25);
    EXPECT_EQ(window.title()->font().weight(), QFont::DemiBold);
    EXPECT_EQ(window.subtitle()->font().pixelSize(), PreferencesPanel::pageFontPixels);
    EXPECT_EQ(window.subtitle()->font().weight(), QFont::Normal);
    ASSERT_NE(window.panel(), nullptr);
    EXPECT_EQ(window.panel()->font().pixelSize(), window.subtitle()->font().pixelSize());
  }
}

TEST(PreferencesWindow, ACorruptOrNewerStoredRecordIsShownAsDefaultsAndNothingIsWritten) {
  const struct {
    const char* name;
    std::string bytes;
  } rows[] = {
      {"not JSON", "{\"workMinutes\": 5"},
      {"not an object", "[1, 2, 3]"},
      {"newer version, wrong types",
       R"({"version": 9, "workMinutes": "lots", "activeStartHour": -30, "speechRate": 1e300,
           "voiceIdentifier": "flite:gone", "blockedBundleIDs": 7, "futureField": true})"},
  };
  for (const auto& row : rows) {
    InMemoryRecordStore records;
    records.setData(RecordPreferencesStore::key, row.bytes);
    RecordPreferencesStore store(records);
    int changes = 0;
    auto counted = store.changes().subscribe([&](const Preferences&) { ++changes; });
    PreferencesNavigation navigation;
    PreferencesWindow window(store, navigation, services());
    window.show();
    for (const PreferencesSection section : allPreferencesSections) {
      navigation.setSelection(section);
      QCoreApplication::processEvents();
    }
    EXPECT_EQ(changes, 0) << row.name;
    EXPECT_EQ(records.writeCount(RecordPreferencesStore::key), 1) << row.name << ": ours only";
    EXPECT_EQ(records.rawBytes(RecordPreferencesStore::key), row.bytes) << row.name;
  }
}

// The page scrolls only when it is taller than the room under the header: a window tall
// enough for every page shows no scroll bar, whichever pages were shown before.
TEST(PreferencesWindow, AScrollBarShowsOnlyWhileThePageIsTallerThanTheWindow) {
  testing::RecordingPreferencesStore store;
  PreferencesNavigation navigation;
  PreferencesWindow window(store, navigation, services());
  window.show();
  auto* scroll = window.findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  for (const int height : {660, 1400, 660}) {
    window.resize(780, height);
    for (const PreferencesSection section : allPreferencesSections) {
      SCOPED_TRACE(std::string(rawValue(section)) + " at " + std::to_string(height));
      navigation.setSelection(section);
      QCoreApplication::processEvents();
      // Wrapped notes make a page's height depend on its width, which the bar narrows.
      const int room = scroll->viewport()->height();
      const bool overflows = window.panel()->heightForWidth(scroll->width()) > room;
      EXPECT_EQ(scroll->verticalScrollBar()->isVisible(), overflows);
      const int width = scroll->viewport()->width();
      EXPECT_EQ(window.panel()->size(),
                QSize(width, std::max(window.panel()->heightForWidth(width), room)));
      if (height > 1000) {
        EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
      }
    }
  }
}

// The wheel as a mouse sends it, from the window system.
void wheelOver(QWidget& widget, int angle) {
  const QPointF local = QPointF(widget.rect().center());
  QWheelEvent wheel(local, QPointF(widget.mapToGlobal(local.toPoint())), QPoint(), QPoint(0, angle),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QSpontaneKeyEvent::setSpontaneous(&wheel);
  QApplication::sendEvent(&widget, &wheel);
  QCoreApplication::processEvents();
}

// Regression: wheel-scrolling the page changed the rope thickness from 4 to 1 pt as the
// pointer passed over its slider, and saved it.
TEST(PreferencesWindow, TheWheelScrollsThePageUntilAControlHasTheFocus) {
  testing::RecordingPreferencesStore store;
  PreferencesNavigation navigation;
  navigation.setSelection(PreferencesSection::appearance);
  PreferencesWindow window(store, navigation, services());
  window.resize(780, 560);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto* scroll = window.findChild<QScrollArea*>();
  auto* panel = dynamic_cast<AppearancePanel*>(window.panel());
  ASSERT_NE(panel, nullptr);
  const struct {
    const char* name;
    QWidget* control;
  } rows[] = {
      {"rope thickness", panel->thickness()},
      {"monkey opacity", panel->monkeyOpacity()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto* slider = static_cast<QSlider*>(row.control);
    scroll->ensureWidgetVisible(slider, 0, 0);
    QCoreApplication::processEvents();
    window.setFocus();
    const int value = slider->value();
    QScrollBar* bar = scroll->verticalScrollBar();
    const int before = bar->value();
    const int angle = before > bar->minimum() ? 120 : -120;
    wheelOver(*slider, angle);
    EXPECT_EQ(slider->value(), value);
    EXPECT_TRUE(store.writes.empty());
    EXPECT_NE(bar->value(), before) << "the page scrolls";
  }
  // Focused, a control takes the wheel again.
  QSlider* thickness = panel->thickness();
  scroll->ensureWidgetVisible(thickness, 0, 0);
  thickness->setFocus();
  QCoreApplication::processEvents();
  const int value = thickness->value();
  wheelOver(*thickness, value > thickness->minimum() ? -120 : 120);
  EXPECT_NE(thickness->value(), value);
  for (QComboBox* box : window.findChildren<QComboBox*>()) {
    EXPECT_EQ(box->focusPolicy(), Qt::StrongFocus) << "not from the wheel";
  }
}

// Offscreen pictures of every panel, written where VORLANE_SCREENSHOT_DIR points.
TEST(PreferencesWindow, EveryPanelDrawsAtTheWindowsSize) {
  testing::RecordingPreferencesStore store;
  PreferencesNavigation navigation;
  PreferencesWindow window(store, navigation, services());
  window.show();
  const char* folder = std::getenv("VORLANE_SCREENSHOT_DIR");
  for (const PreferencesSection section : allPreferencesSections) {
    navigation.setSelection(section);
    QCoreApplication::processEvents();
    const QImage picture = window.grab().toImage();
    EXPECT_EQ(picture.size() / picture.devicePixelRatio(), QSize(780, 660));
    // The whole page too, below the fold: it fits the window's width.
    const QImage page = window.panel()->grab().toImage();
    EXPECT_LE(page.width() / page.devicePixelRatio(), 780 - 185);
    if (folder) {
      const QString name = QString::fromLocal8Bit(folder) + QStringLiteral("/preferences-") +
                           QString::fromUtf8(rawValue(section).data());
      picture.save(name + QStringLiteral(".png"));
      page.save(name + QStringLiteral("-page.png"));
    }
  }
  EXPECT_TRUE(store.writes.empty());
}

// Escape closes the window from wherever the focus is, as every feature window does, but not
// while a control that answers Escape itself has it: an open list of choices or the colour
// dialog closes first, the window stays.
TEST(PreferencesWindow, EscapeClosesTheWindowUnlessAControlTakesIt) {
  struct Row {
    const char* name;
    PreferencesSection section;
    // Where the key goes; null for the window itself.
    std::function<QWidget*(PreferencesWindow&)> target;
    Qt::KeyboardModifiers modifiers;
    bool closes;
  };
  const auto desktop = [](PreferencesWindow& w) { return static_cast<DesktopPanel*>(w.panel()); };
  const Row rows[] = {
      {"from the window", PreferencesSection::desktop, nullptr, Qt::NoModifier, true},
      {"from a check box", PreferencesSection::desktop,
       [&](PreferencesWindow& w) -> QWidget* { return desktop(w)->currentTimeToggle(); },
       Qt::NoModifier, true},
      {"from the sidebar", PreferencesSection::voice,
       [](PreferencesWindow& w) -> QWidget* { return w.sidebar(); }, Qt::NoModifier, true},
      {"with Shift", PreferencesSection::desktop, nullptr, Qt::ShiftModifier, false},
      {"an open list of choices", PreferencesSection::desktop,
       [&](PreferencesWindow& w) -> QWidget* {
         QComboBox* picker = desktop(w)->presencePicker();
         picker->showPopup();
         return picker->view();
       },
       Qt::NoModifier, false},
      {"the colour dialog", PreferencesSection::appearance,
       [](PreferencesWindow& w) -> QWidget* {
         static_cast<AppearancePanel*>(w.panel())->furColor()->well()->click();
         return w.findChild<QColorDialog*>();
       },
       Qt::NoModifier, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testing::RecordingPreferencesStore store;
    PreferencesNavigation navigation(row.section);
    // Escape is the host's, as for every window.
    FeatureWindow host;
    auto* window = static_cast<PreferencesWindow*>(
        host.open([&] { return new PreferencesWindow(store, navigation, services()); }, true));
    const QPointer<PreferencesWindow> alive(window);
    QWidget* target = row.target ? row.target(*window) : window;
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, Qt::Key_Escape, row.modifiers);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(alive.isNull(), row.closes);
    if (alive) {
      EXPECT_TRUE(alive->isVisible());
      EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "the control closed its own part";
      const auto* dialog = alive->findChild<QColorDialog*>();
      EXPECT_TRUE(dialog == nullptr || !dialog->isVisible());
    }
    delete alive.data();
  }
}

}  // namespace
}  // namespace vorlane
