// The status menu as a real Qt menu, offscreen, and the item's refresh and rebuild.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QPalette>
#include <QSystemTrayIcon>

#include "tests/support/child_process.h"
#include "tests/support/fake_status_source.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/menu_action.h"
#include "tests/support/trayless_status_item.h"
#include "ui/tray/status_item_controller.h"
#include "ui/tray/status_menu_builder.h"
#include "ui/tray/status_window_rows.h"
#include "ui/tray/tray_symbol_icon.h"

namespace vorlane {
namespace {

StatusSnapshot snapshotWithReminder(const UUID& id) {
  StatusSnapshot s;
  s.nextVisit = "next visit at 12:00";
  s.trayShown = true;
  s.mascot = true;  // and no reminder editor
  s.reminders = {{id, "Rock & roll", "every day at 10:00"}};
  return s;
}

TEST(StatusMenuQt, TitlesEscapedDataTypedAndStates) {
  const UUID id = UUID::random();
  QMenu menu;
  std::vector<std::pair<StatusCommand, StatusData>> ran;
  fillStatusMenu(menu, statusMenu(snapshotWithReminder(id)),
                 [&](StatusCommand c, const StatusData& d) { ran.emplace_back(c, d); });

  // An ampersand is a character, not a mnemonic.
  ASSERT_NE(actionTitled(menu, "Plan && reflect"), nullptr);
  EXPECT_EQ(actionTitled(menu, "Plan & reflect"), nullptr);
  QAction* reminderRow =
      actionTitled(menu, QString::fromUtf8("\u2068Rock && roll\u2069 - every day at 10:00"));
  ASSERT_NE(reminderRow, nullptr);
  ASSERT_NE(reminderRow->menu(), nullptr);
  emit reminderRow->menu()->aboutToShow();

  QAction* edit = actionTitled(*reminderRow->menu(), "Edit...");
  QAction* remove = actionTitled(*reminderRow->menu(), "Delete reminder");
  EXPECT_FALSE(edit->isEnabled());  // no reminder editor
  EXPECT_TRUE(remove->isEnabled());
  EXPECT_EQ(actionTitled(menu, "For an hour")->data().toString(), "oneHour");
  EXPECT_TRUE(menu.toolTipsVisible());
  EXPECT_EQ(actionTitled(menu, "Mute")->toolTip(), "Also Ctrl+Alt+Super+M");

  remove->trigger();
  actionTitled(menu, "Move left")->trigger();
  edit->trigger();  // disabled: nothing
  ASSERT_EQ(ran.size(), 2u);
  EXPECT_EQ(ran[0], std::make_pair(StatusCommand::deleteReminder, StatusData(id)));
  EXPECT_EQ(ran[1], std::make_pair(StatusCommand::moveMascot, StatusData(0.0)));

  // Rebuilding leaves no submenu of the last build behind.
  const auto before = menu.findChildren<QMenu*>().size();
  for (int i = 0; i < 3; ++i) {
    clearStatusMenu(menu);
    fillStatusMenu(menu, statusMenu(snapshotWithReminder(id)), {});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  EXPECT_EQ(menu.findChildren<QMenu*>().size(), before);
}

// A reminder's row makes its entries only as it opens, each acting on its own reminder, and
// only once however often it opens.
TEST(StatusMenuQt, AReminderRowIsBuiltWhenItOpens) {
  const UUID first = UUID::random(), second = UUID::random();
  StatusSnapshot s = snapshotWithReminder(first);
  s.reminders.push_back({second, "Water", "in 5 min"});
  QMenu menu;
  std::vector<std::pair<StatusCommand, StatusData>> ran;
  fillStatusMenu(menu, statusMenu(s),
                 [&](StatusCommand c, const StatusData& d) { ran.emplace_back(c, d); });
  QAction* row = actionTitled(menu, QString::fromUtf8("\u2068Water\u2069 - in 5 min"));
  ASSERT_NE(row, nullptr);
  ASSERT_NE(row->menu(), nullptr);
  EXPECT_TRUE(row->menu()->isEmpty());

  emit row->menu()->aboutToShow();
  emit row->menu()->aboutToShow();
  ASSERT_EQ(row->menu()->actions().size(), 2);
  actionTitled(*row->menu(), "Delete reminder")->trigger();
  actionTitled(*row->menu(), "Edit...")->trigger();  // disabled: no reminder editor
  ASSERT_EQ(ran.size(), 1u);
  EXPECT_EQ(ran[0], std::make_pair(StatusCommand::deleteReminder, StatusData(second)));
}

// The item over a source whose state a test changes, as the coordinator's changes do.
class OpenStatusMenuTest : public ::testing::Test {
 protected:
  OpenStatusMenuTest() {
    source->state.nextVisit = "next visit at 12:00";
    source->state.session.start(*Calendar("UTC").date(2026, 3, 10, 11, 0), "write");
  }
  void focusEnds() {
    source->state.session.cancel();
    item.refresh();
  }
  std::shared_ptr<FakeStatusSource> source = std::make_shared<FakeStatusSource>();
  StatusItemController item{
      traylessStatusItem(std::make_shared<StatusItemActions>(source, nullptr, StatusItemHooks{}))};
};

// Regression: a menu left open while the focus ended still offered "Pause session".
TEST_F(OpenStatusMenuTest, AnOpenMenuDropsTheRowsOfASessionThatEnded) {
  QMenu* menu = item.menu();
  emit menu->aboutToShow();
  ASSERT_NE(actionTitled(*menu, "Pause session"), nullptr);
  focusEnds();
  EXPECT_EQ(actionTitled(*menu, "Pause session"), nullptr);
  EXPECT_NE(actionTitled(*menu, "Start Pomodoro..."), nullptr);

  // Once closed it is left alone until it opens again.
  emit menu->aboutToHide();
  source->state.session.start(*Calendar("UTC").date(2026, 3, 10, 12, 0), "again");
  item.refresh();
  EXPECT_EQ(actionTitled(*menu, "Pause session"), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(OpenStatusMenuTest, TheMascotsMenuKeepsItsOwnRowsAndFollowsTheState) {
  QMenu context;
  context.addAction(QStringLiteral("Move left"));
  item.fillMenu(context);
  ASSERT_NE(actionTitled(context, "Pause session"), nullptr);
  focusEnds();
  EXPECT_EQ(context.actions().front()->text(), "Move left");
  EXPECT_EQ(actionTitled(context, "Pause session"), nullptr);
  EXPECT_NE(actionTitled(context, "Start Pomodoro..."), nullptr);

  // A row whose text alone changes keeps its action, and a submenu open under it stays.
  QAction* line = actionTitled(context, "next visit at 12:00");
  ASSERT_NE(line, nullptr);
  source->state.nextVisit = "next visit at 13:00";
  item.refresh();
  EXPECT_EQ(actionTitled(context, "next visit at 13:00"), line);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The next page of reminders is read from the source only as it opens, once, from the
// reminder after the page above; an open menu keeps it while it counts the same, and makes it
// anew when a reminder goes. The mascot's menu pages the same way.
TEST_F(OpenStatusMenuTest, APageOfRemindersIsReadWhenItOpensAndAgainWhenTheCountChanges) {
  for (int i = 0; i < 150; ++i) {
    source->state.reminders.push_back({UUID::random(), "Water " + std::to_string(i), "today"});
  }
  source->state.reminderCount = 150;
  const auto nextPage = [](const QMenu& page) -> QMenu* {
    QAction* last = page.actions().isEmpty() ? nullptr : page.actions().back();
    return last && last->text().startsWith(QLatin1String("More reminders (")) ? last->menu()
                                                                              : nullptr;
  };
  QMenu context;
  item.fillMenu(context);
  QMenu* menu = item.menu();
  emit menu->aboutToShow();
  for (QMenu* shown : {menu, &context}) {
    QAction* reminders = actionTitled(*shown, "Reminders (150)");
    ASSERT_NE(reminders, nullptr);
    const qsizetype firstRows = reminders->menu()->actions().size() - 1;
    QMenu* second = nextPage(*reminders->menu());
    ASSERT_NE(second, nullptr) << "150 rows in one column of an offscreen screen";
    EXPECT_EQ(reminders->menu()->actions().back()->text().toStdString(),
              "More reminders (" + std::to_string(150 - firstRows) + ")");
    EXPECT_TRUE(second->isEmpty());

    const int reads = source->snapshots;
    emit second->aboutToShow();
    emit second->aboutToShow();
    EXPECT_EQ(source->snapshots, reads + 1) << "read once, as it first opens";
    ASSERT_FALSE(second->isEmpty());
    EXPECT_EQ(second->actions().front()->text().toStdString(),
              "\u2068Water " + std::to_string(firstRows) + "\u2069 - today");
    EXPECT_LE(second->actions().size(), reminders->menu()->actions().size());
  }

  // The state changes, the count does not: the open page stays as it is.
  QMenu* second = nextPage(*actionTitled(*menu, "Reminders (150)")->menu());
  const qsizetype rows = second->actions().size();
  source->state.nextVisit = "next visit at 13:00";
  item.refresh();
  EXPECT_EQ(nextPage(*actionTitled(*menu, "Reminders (150)")->menu()), second);
  EXPECT_EQ(second->actions().size(), rows);

  // One goes: every page counts one fewer after it and is read again as it opens.
  source->state.reminders.pop_back();
  source->state.reminderCount = 149;
  item.refresh();
  for (QMenu* shown : {menu, &context}) {
    QAction* reminders = actionTitled(*shown, "Reminders (149)");
    ASSERT_NE(reminders, nullptr);
    QMenu* fresh = nextPage(*reminders->menu());
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->isEmpty());
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Every action of the menu and its submenus.
QList<QAction*> allActions(const QMenu& menu) {
  QList<QAction*> all;
  for (QAction* a : menu.actions()) {
    all << a;
    if (a->menu()) all << allActions(*a->menu());
  }
  return all;
}

// Regression: the menu showed Ctrl+Q, Ctrl+R and five more beside its entries, and none of
// them did anything while the menu was open.
TEST(StatusMenuQt, ShowsNoKeyThatCouldNotWorkThere) {
  StatusSnapshot s = snapshotWithReminder(UUID::random());
  for (const StatusWindowRow& row : statusWindowRows()) s.windows.insert(row.kind);
  s.lastAddedPhrase = "Call Mo";
  QMenu menu;
  fillStatusMenu(menu, statusMenu(s), {});
  ASSERT_NE(actionTitled(menu, "Quit Vorlane"), nullptr);
  for (const QAction* action : allActions(menu)) {
    EXPECT_TRUE(action->shortcut().isEmpty())
        << action->text().toStdString() << " shows " << action->shortcut().toString().toStdString();
  }
}

// Regression: a 110-character reminder made the menu 840 px wide and 5,000 characters as wide
// as the screen, each reminder's submenu opening over the row below.
TEST(StatusMenuQt, LongTextsLeaveTheMenuAsWideAsAShortOne) {
  const auto width = [](const std::string& phrase) {
    StatusSnapshot s = snapshotWithReminder(UUID::random());
    s.reminders = {{UUID::random(), phrase, "tomorrow at 10:18 PM"}};
    s.lastAddedPhrase = phrase;
    s.lastFiredPhrase = phrase;
    QMenu menu;
    fillStatusMenu(menu, statusMenu(s), {});
    int widest = menu.sizeHint().width();
    for (const QAction* action : allActions(menu)) {
      if (action->menu()) widest = std::max(widest, action->menu()->sizeHint().width());
    }
    return widest;
  };
  std::string sentence;
  while (sentence.size() < 5000) sentence += "water the plants ";
  const std::string arabic = "\u0627\u062A\u0635\u0644 \u0628\u0623\u0645\u064A ";
  std::string arabicLong;
  while (arabicLong.size() < 5000) arabicLong += arabic;
  const struct {
    const char* name;
    std::string phrase;
  } rows[] = {
      {"110 characters", sentence.substr(0, 110)},
      {"5,000 characters", sentence},
      {"one unbroken word", std::string(5000, 'W')},
      {"right to left", arabicLong},
  };
  for (const auto& row : rows) {
    // Forty of the widest capitals with the schedule come to about 680 px.
    EXPECT_LE(width(row.phrase), 700) << row.name;
  }
}

// The item without a source (the application gone): an idle snapshot, enough for what it draws.
class StatusItemControllerTest : public ::testing::Test {
 protected:
  std::unique_ptr<StatusItemController> make(bool tray) {
    return std::make_unique<StatusItemController>(StatusItemController::Dependencies{
        .actions = std::make_shared<StatusItemActions>(
            nullptr, nullptr,
            StatusItemHooks{.moveMascot = {},
                            .resetMascot = {},
                            .openWindow = {{WindowKind::about, [this] { ++abouts; }}},
                            .openAppearance = {},
                            .quit = {},
                            .reportFailure = {}}),
        .trayAvailable = [tray] { return tray; },
        .followTray = nullptr,
        .trays = nullptr,
        .icon =
            [this](const std::string& name, const QColor& ink) {
              symbols.push_back(name);
              inks.push_back(ink);
              return QIcon();
            },
        .ink = ink,
    });
  }
  std::vector<std::string> symbols;
  std::vector<QColor> inks;
  std::function<std::optional<QColor>(const QRect&, std::function<void()>)> ink;
  int abouts = 0;
};

TEST_F(StatusItemControllerTest, IconAndTipChangeOnlyWhenTheyDifferAndTheMenuIsRebuiltOnOpen) {
  auto item = make(false);
  EXPECT_FALSE(item->isTrayShown());  // no tray: nothing shows, the mascot's menu serves
  for (int i = 0; i < 5; ++i) item->refresh();
  EXPECT_EQ(item->iconUpdates(), 1);
  EXPECT_EQ(item->toolTipUpdates(), 1);
  EXPECT_EQ(item->toolTip(), "Vorlane - ");
  EXPECT_EQ(symbols, std::vector<std::string>{"figure.climbing"});

  QMenu* menu = item->menu();
  menu->clear();
  emit menu->aboutToShow();
  QAction* about = actionTitled(*menu, "About Vorlane");
  ASSERT_NE(about, nullptr);
  about->trigger();
  EXPECT_EQ(abouts, 0);  // once the menu has closed
  QCoreApplication::processEvents();
  EXPECT_EQ(abouts, 1);
  QMenu context;  // the mascot's own menu gets the same entries
  item->fillMenu(context);
  EXPECT_EQ(context.actions().size(), menu->actions().size());

  for (const char* name : {"figure.climbing", "figure.climbing.circle", "timer", "pause.circle",
                           "checkmark.circle.fill"}) {
    EXPECT_FALSE(
        StatusItemController::symbolIcon(name, Qt::black).pixmap(22, 22).toImage().isNull())
        << name;
  }
}

// The icon is drawn in the ink the tray asks for, and drawn again when that ink changes (a
// panel that turned dark); an unchanged ink is not asked for on every refresh.
TEST_F(StatusItemControllerTest, TheIconFollowsTheTraysInk) {
  QColor panelInk(Qt::black);
  int asked = 0;
  ink = [&](const QRect&, const std::function<void()>&) {
    ++asked;
    return panelInk;
  };
  auto item = make(false);
  ASSERT_FALSE(inks.empty());
  EXPECT_EQ(inks.back(), QColor(Qt::black));
  EXPECT_EQ(item->displayedInk(), QColor(Qt::black));
  const int updates = item->iconUpdates();
  const int asks = asked;
  for (int i = 0; i < 5; ++i) item->refresh();
  EXPECT_EQ(item->iconUpdates(), updates);
  EXPECT_EQ(asked, asks) << "asked again only when the icon moves or after a while";

  // A new ink is taken at the next look (here: a new controller, as the look is timed).
  panelInk = QColor(0xF2, 0xF2, 0xF2);
  auto dark = make(false);
  EXPECT_EQ(inks.back(), panelInk);
  EXPECT_EQ(dark->displayedInk(), panelInk);

  // An ink source with nothing to say leaves the palette's text colour.
  ink = [](const QRect&, const std::function<void()>&) { return QColor(); };
  auto none = make(false);
  EXPECT_EQ(none->displayedInk(), QGuiApplication::palette().color(QPalette::WindowText));
}

// Regression: a panel read while a menu of ours covered the icon gave the menu's colours for
// 30 s. While the panel cannot be read the ink stays, and it is read again as soon as the
// source says the window over it changed, without waiting for the next look. Regression:
// it was asked again every second while hidden, at a cost at rest when the mascot's empty
// column counted as hiding it; now nothing runs until the source calls.
TEST_F(StatusItemControllerTest, AnInkThatCannotBeReadNowKeepsTheLastAndIsAskedAgainSoon) {
  const QColor light(0xF2, 0xF2, 0xF2);
  std::optional<QColor> panelInk = light;
  int asked = 0;
  std::function<void()> readAgain;
  ink = [&](const QRect&, std::function<void()> again) {
    ++asked;
    if (!panelInk) readAgain = std::move(again);
    return panelInk;
  };
  auto item = make(false);
  ASSERT_EQ(item->displayedInk(), light);

  panelInk = std::nullopt;  // a menu of ours over the icon
  item->recheckInk();
  EXPECT_EQ(item->displayedInk(), light);
  const int hiddenAsks = asked;
  ASSERT_TRUE(readAgain) << "the source has no way to have the ink read again";
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 1'500) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(asked, hiddenAsks) << "asked again while nothing changed";

  panelInk = QColor(0x26, 0x26, 0x26);  // the menu closed over a panel now light
  readAgain();
  EXPECT_TRUE(testing::waitUntil(
      [&] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return item->displayedInk() == *panelInk;
      },
      std::chrono::seconds(10)))
      << "asked again " << asked - hiddenAsks << " times";
  // Once more a moment later, in case the screen still showed the window at the first look.
  const int shownAsks = asked;
  EXPECT_TRUE(testing::waitUntil(
      [&] {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        return asked > shownAsks;
      },
      std::chrono::seconds(10)));

  // Nothing read yet: the palette's text colour meanwhile.
  panelInk = std::nullopt;
  auto hidden = make(false);
  EXPECT_EQ(hidden->displayedInk(), QGuiApplication::palette().color(QPalette::WindowText));
}

// Told which trays are there, the icon lives on a StatusNotifier host while one is, and is
// taken down when its host leaves with no tray left: the tray counts as shown only then.
TEST(StatusItemTray, TheIconLeavesWithItsHost) {
  TrayKinds there{.statusNotifier = true, .xembed = false};
  Observers<> trayChanges;
  StatusItemController item(StatusItemController::Dependencies{
      .actions = std::make_shared<StatusItemActions>(
          nullptr, std::make_shared<InMemoryPreferencesStore>(), StatusItemHooks{}),
      .trayAvailable = [&there] { return there.any(); },
      .followTray =
          [&trayChanges](std::function<void()> changed) {
            return trayChanges.subscribe(std::move(changed));
          },
      .trays = [&there] { return there; },
      .icon = [](const std::string&, const QColor&) { return QIcon(); },
      .ink = nullptr,
  });
  EXPECT_TRUE(item.isTrayShown());
  QSystemTrayIcon* first = item.trayIcon();
  ASSERT_NE(first, nullptr);
  EXPECT_NE(actionTitled(*item.menu(), "Click-through mascot"), nullptr);

  there.xembed = true;  // a second kind comes: the icon stays where it is
  trayChanges.notify();
  EXPECT_EQ(item.trayIcon(), first);

  there = {};
  trayChanges.notify();
  EXPECT_FALSE(item.isTrayShown());
  EXPECT_EQ(item.trayIcon(), nullptr);
  EXPECT_EQ(actionTitled(*item.menu(), "Click-through mascot"), nullptr);

  there.statusNotifier = true;
  trayChanges.notify();
  EXPECT_TRUE(item.isTrayShown());
  ASSERT_NE(item.trayIcon(), nullptr);
  EXPECT_EQ(item.trayIcon()->toolTip(), item.toolTip());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The tray's icon carries a symbolic theme name a StatusNotifierItem host can recolour, with
// our drawing in the ink for hosts that take the pixels.
TEST(TraySymbolIcon, NamedSymbolicAndDrawnInTheInk) {
  const struct {
    const char* symbol;
    const char* name;
  } rows[] = {
      {"figure.climbing", "vorlane-figure-climbing-symbolic"},
      {"figure.climbing.circle", "vorlane-figure-climbing-circle-symbolic"},
      {"timer", "vorlane-timer-symbolic"},
      {"pause.circle", "vorlane-pause-circle-symbolic"},
      {"checkmark.circle.fill", "vorlane-checkmark-circle-fill-symbolic"},
  };
  const QColor ink(0xF2, 0xF2, 0xF2);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.symbol);
    const QIcon icon = StatusItemController::symbolIcon(row.symbol, ink);
    EXPECT_EQ(icon.name(), QString::fromLatin1(row.name));
    EXPECT_EQ(traySymbolIconName(row.symbol), QString::fromLatin1(row.name));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(22, 22)));
    const QImage image = icon.pixmap(22, 22).toImage();
    ASSERT_FALSE(image.isNull());
    int inked = 0;
    int otherColours = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor pixel = image.pixelColor(x, y);
        if (pixel.alpha() != 255) continue;  // edges blend in premultiplied steps
        ++(pixel.rgb() == ink.rgb() ? inked : otherColours);
      }
    }
    EXPECT_GT(inked, 0);
    EXPECT_EQ(otherColours, 0);
  }
}

// The menu shows settings: a change of them rebuilds it at once, for hosts that mirror the
// menu before it opens; an unchanged record does not.
TEST(StatusItemSettings, AChangedRecordRebuildsTheMenuAndAnEqualOneDoesNot) {
  const auto store = std::make_shared<InMemoryPreferencesStore>();
  StatusItemController item(
      traylessStatusItem(std::make_shared<StatusItemActions>(nullptr, store, StatusItemHooks{})));
  item.menu()->clear();
  store->setPreferences(store->preferences());
  EXPECT_TRUE(item.menu()->actions().isEmpty());
  store->modify([](Preferences& p) { p.mascotClickThrough = true; });
  EXPECT_FALSE(item.menu()->actions().isEmpty());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A tray that comes after the start shows the icon at once, not at the next look a while
// later, and the menu then offers click-through; a tray that goes takes that entry with it.
TEST(StatusItemTray, FollowsATrayThatComesAndGoes) {
  bool tray = false;
  Observers<> trayChanges;
  StatusItemController item(StatusItemController::Dependencies{
      .actions = std::make_shared<StatusItemActions>(
          nullptr, std::make_shared<InMemoryPreferencesStore>(), StatusItemHooks{}),
      .trayAvailable = [&tray] { return tray; },
      .followTray =
          [&trayChanges](std::function<void()> changed) {
            return trayChanges.subscribe(std::move(changed));
          },
      .trays = nullptr,
      .icon = [](const std::string&, const QColor&) { return QIcon(); },
      .ink = nullptr,
  });
  EXPECT_FALSE(item.isTrayShown());
  EXPECT_EQ(item.trayIcon(), nullptr) << "made before any tray was there";
  EXPECT_EQ(actionTitled(*item.menu(), "Click-through mascot"), nullptr);

  tray = true;
  trayChanges.notify();
  EXPECT_TRUE(item.isTrayShown());
  ASSERT_NE(item.trayIcon(), nullptr);
  EXPECT_EQ(item.trayIcon()->toolTip(), item.toolTip());
  EXPECT_NE(actionTitled(*item.menu(), "Click-through mascot"), nullptr);

  tray = false;
  trayChanges.notify();
  EXPECT_FALSE(item.isTrayShown());
  EXPECT_EQ(actionTitled(*item.menu(), "Click-through mascot"), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The item follows the one setting its menu shows, once per change: its icon and tip show
// no setting and follow the application's state, so the settings leave them alone.
TEST(StatusItemSettings, OnlyClickThroughRebuildsTheMenuOnceAndTheIconIsLeftAlone) {
  const auto store = std::make_shared<InMemoryPreferencesStore>();
  const auto source = std::make_shared<FakeStatusSource>();
  StatusItemController item(
      traylessStatusItem(std::make_shared<StatusItemActions>(source, store, StatusItemHooks{})));
  item.menu()->clear();
  const int reads = source->snapshots;
  store->modify([](Preferences& p) {
    p.workMinutes = 40;
    p.mascotPlacements.insert_or_assign("DP-1", MascotPlacement(0.3, 0));
  });
  EXPECT_TRUE(item.menu()->actions().isEmpty());
  EXPECT_EQ(source->snapshots, reads);

  store->modify([](Preferences& p) { p.mascotClickThrough = true; });
  EXPECT_FALSE(item.menu()->actions().isEmpty());
  EXPECT_EQ(source->snapshots, reads + 1) << "the menu's one reading, and no refresh";
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
}  // namespace vorlane
