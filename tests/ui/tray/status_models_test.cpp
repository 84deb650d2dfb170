// The status item's button and menu as functions of plain values, one row per state.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "foundation/calendar.h"
#include "foundation/number_formatter.h"
#include "foundation/text.h"
#include "ui/tray/status_button_model.h"
#include "ui/tray/status_menu_model.h"
#include "ui/tray/status_window_rows.h"

namespace vorlane {
namespace {

const Calendar berlin("Europe/Berlin", "en_GB");
const Date t0 = *berlin.date(2026, 3, 10, 11, 0, 0);

enum class State {
  idle,
  focus,
  paused,
  pausedBreak,
  awaitingBreak,
  starterDone,
  onBreak,
  done,
  muted,
  noTray,
  reminders
};

// Every window the menu opens.
std::set<WindowKind> everyWindow() {
  std::set<WindowKind> all;
  for (const StatusWindowRow& row : statusWindowRows()) all.insert(row.kind);
  return all;
}

// Every window and hook present, a tray showing the menu, the session in `state`.
StatusSnapshot snapshot(State state) {
  StatusSnapshot s;
  s.nextVisit = "next visit at 12:00";
  s.trayShown = state != State::noTray;
  s.windows = everyWindow();
  s.mascot = true;
  PomodoroSession& p = s.session;
  const bool paused = state == State::paused || state == State::pausedBreak;
  if (state == State::focus || state == State::paused) p.start(t0, "write report");
  if (state == State::onBreak || state == State::pausedBreak || state == State::done) {
    p.startBreak(t0);
  }
  if (paused) p.pause(t0 + 60);
  if (state == State::awaitingBreak || state == State::starterDone) {
    p.start(t0, "write report");
    p.advance(t0 + 25 * 60, berlin);
  }
  if (state == State::done) p.advance(t0 + 5 * 60, berlin);  // a finished break: idle
  s.isStarterFocus = state == State::starterDone;
  if (state == State::muted) {
    s.muted = true;
    s.muteExpiry = "12:00";
  }
  if (state == State::reminders) {
    s.reminders = {{UUID::random(), "Stretch & breathe", "every day at 10:00"},
                   {UUID::random(), "Water", "in 5 min"},
                   {UUID::random(), "Call Mo", "tomorrow"}};
    s.lastAddedPhrase = "Call Mo";
    s.lastFiredPhrase = "Water";
  }
  s.statusText = p.statusText(paused ? t0 + 60 : t0);
  return s;
}

// The menu as lines: "---" for a separator, "[x]" before a disabled entry, "> " after a
// submenu's title.
std::vector<std::string> lines(const std::vector<StatusMenuEntry>& entries) {
  std::vector<std::string> out;
  for (const auto& e : entries) {
    if (e.kind == StatusMenuEntry::Kind::separator) {
      out.push_back("---");
      continue;
    }
    std::string line = (e.enabled ? "" : "[x]") + e.title;
    if (e.kind == StatusMenuEntry::Kind::submenu) line += " >";
    out.push_back(line);
  }
  return out;
}

const StatusMenuEntry* find(const std::vector<StatusMenuEntry>& entries, const std::string& title) {
  for (const auto& e : entries) {
    if (e.title == title) return &e;
    if (const auto* inner = find(e.children, title)) return inner;
  }
  return nullptr;
}

TEST(StatusButtonModel, SymbolTitleAndLabelForEachState) {
  struct Row {
    State state;
    std::string symbol;
    std::string title;
  };
  const std::vector<Row> rows{
      {State::idle, "figure.climbing", ""},
      {State::focus, "timer", "Focus 25:00"},
      {State::paused, "pause.circle", "Paused 24:00"},
      {State::pausedBreak, "pause.circle", "Paused 4:00"},
      {State::onBreak, "timer", "Break 5:00"},
      {State::awaitingBreak, "checkmark.circle.fill", "Done"},
      {State::done, "checkmark.circle.fill", "Done"},
      {State::muted, "figure.climbing.circle", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.symbol + " " + row.title);
    const StatusButtonModel b = statusButton(snapshot(row.state));
    EXPECT_EQ(b.symbol, row.symbol);
    EXPECT_EQ(b.title, row.title);
    EXPECT_EQ(b.showsTitle, !row.title.empty());
    EXPECT_EQ(b.accessibleLabel, row.title.empty() ? "Vorlane" : "Vorlane, " + row.title);
    EXPECT_EQ(b.toolTip, "Vorlane - next visit at 12:00");
  }
  // A countdown wins over the mute's symbol in the rule order, and the mute over idle.
  StatusSnapshot focusMuted = snapshot(State::focus);
  focusMuted.muted = true;
  EXPECT_EQ(statusButton(focusMuted).symbol, "timer");
}

TEST(StatusMenuModel, WholeMenuIdle) {
  const std::vector<std::string> expected{"[x]next visit at 12:00",
                                          "---",
                                          "Quick actions…  Ctrl+Alt+Space",
                                          "Vorlane now",
                                          "Encourage me",
                                          "Start Pomodoro...",
                                          "Just five minutes…",
                                          "Plan & reflect >",
                                          "Mascot >",
                                          "---",
                                          "Add reminder...",
                                          "---",
                                          "Mute >",
                                          "---",
                                          "Preferences...",
                                          "About Vorlane",
                                          "Quit Vorlane"};
  EXPECT_EQ(lines(statusMenu(snapshot(State::idle))), expected);
}

// The session entries between "Encourage me" and "Just five minutes…".
std::vector<std::string> sessionLines(const StatusSnapshot& s) {
  const auto all = lines(statusMenu(s));
  std::vector<std::string> out;
  bool inside = false;
  for (const auto& line : all) {
    if (line == "Just five minutes…") break;
    if (inside) out.push_back(line);
    if (line == "Encourage me") inside = true;
  }
  return out;
}

TEST(StatusMenuModel, SessionEntriesByPhase) {
  struct Row {
    State state;
    std::vector<std::string> entries;
  };
  const std::vector<Row> rows{
      {State::focus,
       {"[x]Focus: \u2068write report\u2069", "Pause session", "Add 5 minutes", "Stop session",
        "New focus session..."}},
      {State::paused,
       {"[x]Focus: \u2068write report\u2069", "Resume focus", "Edit next step…", "Add 5 minutes",
        "Stop session", "New focus session..."}},
      {State::pausedBreak, {"Resume break", "Add 5 minutes", "End break", "New focus session..."}},
      {State::onBreak, {"Pause break", "Add 5 minutes", "End break", "New focus session..."}},
      {State::awaitingBreak,
       {"[x]Focus: \u2068write report\u2069", "Start break", "Continue focus for 5 more minutes",
        "New focus session...", "Mark accomplished", "Skip break", "Undo last completed session"}},
      {State::starterDone,
       {"[x]Focus: \u2068write report\u2069", "Keep going — 5 more minutes",
        "Done — mark accomplished", "Stop for now", "Undo last completed session"}},
      {State::done, {"New focus session..."}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.entries.front());
    EXPECT_EQ(sessionLines(snapshot(row.state)), row.entries);
  }
}

TEST(StatusMenuModel, NextStepLineAndGoalLength) {
  StatusSnapshot s = snapshot(State::paused);
  s.nextStep = std::string(70, 'n');
  const auto menu = statusMenu(s);
  const auto* next = find(menu, "Next: " + isolated(std::string(65, 'n')));
  ASSERT_NE(next, nullptr);
  EXPECT_FALSE(next->enabled);
  EXPECT_EQ(next->toolTip, s.nextStep);
  // Without the notes window the session still resumes; only editing the step is gone.
  s.windows = {};
  s.mascot = false;
  EXPECT_TRUE(find(statusMenu(s), "Resume focus")->enabled);
  EXPECT_FALSE(find(statusMenu(s), "Edit next step…")->enabled);

  EXPECT_EQ(goalLine(std::string(55, 'g')), "Focus: " + isolated(std::string(55, 'g')));
  EXPECT_EQ(goalLine(std::string(56, 'g')), "Focus: " + isolated(std::string(52, 'g') + "..."));
  // Characters, not bytes: 56 accented letters are cut after 52 of them.
  std::string accented;
  for (int i = 0; i < 56; ++i) accented += "é";
  EXPECT_EQ(goalLine(accented), "Focus: " + isolated(accented.substr(0, 52 * 2) + "..."));
}

// Regression: an Arabic reminder read "10:18 اتصل بأمي - PM", and a long one widened the menu.
TEST(StatusMenuModel, UserTextsAreIsolatedOnOneShortLine) {
  const std::string arabic = "\u0627\u062A\u0635\u0644 \u0628\u0623\u0645\u064A";
  const std::string hebrew = "\u05DC\u05D4\u05EA\u05E7\u05E9\u05E8 \u05DC\u05D0\u05DE\u05D0";
  std::string sentence;
  while (sentence.size() < 5000) sentence += "water the plants ";
  const struct {
    const char* name;
    std::string phrase;
    std::string shown;  // isolated in every row that names it
  } rows[] = {
      {"Arabic", arabic, arabic},
      {"Hebrew", hebrew, hebrew},
      {"5,000 characters", sentence, "water the plants water the plants water\u2026"},
      {"one unbroken word", std::string(5000, 'W'), std::string(39, 'W') + "\u2026"},
      {"line breaks", "buy\nmilk", "buy milk"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StatusSnapshot s = snapshot(State::idle);
    s.reminders = {{UUID::random(), row.phrase, "10:18 PM"}};
    s.lastAddedPhrase = row.phrase;
    s.lastFiredPhrase = row.phrase;
    const std::string inside = "\u2068" + row.shown + "\u2069";
    const auto menu = statusMenu(s);
    const auto* reminders = find(menu, "Reminders (1)");
    ASSERT_NE(reminders, nullptr);
    EXPECT_EQ(reminders->children.at(0).title, inside + " - 10:18 PM");
    EXPECT_NE(find(menu, "Undo \"" + inside + "\""), nullptr);
    EXPECT_NE(find(menu, "Snooze \"" + inside + "\" 10 min"), nullptr);
  }
  EXPECT_EQ(goalLine(arabic), "Focus: \u2068" + arabic + "\u2069");
  StatusSnapshot paused = snapshot(State::paused);
  paused.nextStep = hebrew;
  EXPECT_NE(find(statusMenu(paused), "Next: \u2068" + hebrew + "\u2069"), nullptr);
}

TEST(StatusMenuModel, SessionsTodayLine) {
  StatusSnapshot s = snapshot(State::idle);
  EXPECT_EQ(lines(statusMenu(s))[1], "---");
  s.session.start(t0, "a");
  s.session.advance(t0 + 25 * 60, berlin);
  s.session.cancel();
  EXPECT_EQ(lines(statusMenu(s))[1], "[x]1 session today");
  s.session.start(t0 + 3600, "b");
  s.session.advance(t0 + 3600 + 25 * 60, berlin);
  EXPECT_EQ(lines(statusMenu(s))[1], "[x]2 sessions today");
}

TEST(StatusMenuModel, SubmenusAndWhatTheirEntriesCarry) {
  const StatusSnapshot r = snapshot(State::reminders);
  const UUID id = r.reminders[0].id;
  struct Row {
    std::string submenu;
    std::vector<std::string> entries;
    std::vector<StatusData> data;
  };
  const Row rows[] = {
      {"Mute",
       {"For 15 minutes", "For an hour", "Until this evening", "Until tomorrow"},
       {std::string("fifteenMinutes"), std::string("oneHour"), std::string("untilThisEvening"),
        std::string("untilTomorrow")}},
      {"Mascot",
       {"[x]Ctrl-drag to move · Pull down for time", "Move left", "Move to center", "Move right",
        "Reset position", "---", "Click-through mascot", "Appearance…"},
       {{}, 0.0, 0.5, 1.0, {}, {}, {}, {}}},
      {"Reminders (3)",
       {"\u2068Stretch & breathe\u2069 - every day at 10:00 >", "\u2068Water\u2069 - in 5 min >",
        "\u2068Call Mo\u2069 - tomorrow >"},
       {{}, {}, {}}},
      {"\u2068Stretch & breathe\u2069 - every day at 10:00",
       {"Edit...", "Delete reminder"},
       {id, id}},
  };
  const auto menu = statusMenu(r);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.submenu);
    const auto* submenu = find(menu, row.submenu);
    ASSERT_NE(submenu, nullptr);
    EXPECT_EQ(lines(submenu->children), row.entries);
    std::vector<StatusData> data;
    for (const auto& e : submenu->children) data.push_back(e.data);
    EXPECT_EQ(data, row.data);
  }
  EXPECT_EQ(find(menu, "Mute")->toolTip, "Also Ctrl+Alt+Super+M");
  const auto all = lines(menu);
  const auto undo = std::find(all.begin(), all.end(), "Undo \"\u2068Call Mo\u2069\"");
  ASSERT_NE(undo, all.end());
  EXPECT_EQ(*(undo + 1), "Snooze \"\u2068Water\u2069\" 10 min");
  EXPECT_EQ(*(undo + 2), "Reminders (3) >");
  EXPECT_EQ(find(statusMenu(snapshot(State::idle)), "Reminders (0)"), nullptr);
}

// Thousands of reminders: the first rows in stored order, then the next page's row that counts
// the others in the locale's numbers; each row builds its submenu only when it opens.
TEST(StatusMenuModel, PastTheBoundOneRowCountsTheOtherReminders) {
  const NumberFormatter numbers(Calendar("Europe/Berlin", "en_US"),
                                NumberFormatter::Style::decimal);
  const auto withReminders = [&](std::size_t rows, std::size_t count) {
    StatusSnapshot s = snapshot(State::idle);
    for (std::size_t i = 0; i < rows; ++i) {
      s.reminders.push_back({UUID::random(), "Water " + std::to_string(i), "tomorrow"});
    }
    s.reminderCount = count;
    s.formatCount = [&](std::size_t n) { return numbers.format(static_cast<double>(n)); };
    return s;
  };
  const StatusSnapshot many = withReminders(menuReminderRows, menuReminderRows + 12'345);
  const auto menu = statusMenu(many);
  const auto* reminders = find(menu, "Reminders (12,445)");
  ASSERT_NE(reminders, nullptr);
  ASSERT_EQ(reminders->children.size(), menuReminderRows + 1);
  EXPECT_EQ(reminders->children.front().title, "\u2068Water 0\u2069 - tomorrow");
  EXPECT_EQ(reminders->children.front().children[1].data, StatusData(many.reminders[0].id));
  for (std::size_t i = 0; i < menuReminderRows; ++i) {
    EXPECT_TRUE(reminders->children[i].buildsOnOpen) << i;
  }
  const StatusMenuEntry& more = reminders->children.back();
  EXPECT_EQ(lines({more}), std::vector<std::string>{"More reminders (12,345) >"});
  EXPECT_EQ(more.command, StatusCommand::none);
  EXPECT_EQ(more.reminderPage, menuReminderRows) << "the next page starts after the rows";

  // One more; exactly the bound; and without a locale's numbers, digits.
  EXPECT_EQ(
      find(statusMenu(withReminders(menuReminderRows, menuReminderRows + 1)), "Reminders (101)")
          ->children.back()
          .title,
      "More reminders (1)");
  EXPECT_EQ(find(statusMenu(withReminders(menuReminderRows, menuReminderRows)), "Reminders (100)")
                ->children.size(),
            menuReminderRows);
  StatusSnapshot plain = withReminders(3, 4'000);
  plain.formatCount = nullptr;
  EXPECT_EQ(find(statusMenu(plain), "Reminders (4000)")->children.back().title,
            "More reminders (3997)");
}

// A screen's column holds fewer rows than the bound: the reminders that fit with the next
// page's row below them, its count saying how many the column left out. A column too short
// for two rows still shows one reminder before the next page.
TEST(StatusMenuModel, TheRemindersFitOneColumnWithTheirCountRow) {
  const struct {
    std::size_t loaded, count, columnRows;
    std::size_t rows;  // the reminders shown
    std::string last;
  } cases[] = {
      {100, 100, 34, 33, "More reminders (67)"},
      {100, 12'445, 34, 33, "More reminders (12412)"},
      {100, 12'445, 150, 100, "More reminders (12345)"},    // the bound comes first
      {34, 34, 34, 34, "\u2068Water 33\u2069 - tomorrow"},  // all fit: no count row
      {35, 35, 34, 33, "More reminders (2)"},
      {5, 5, 1, 1, "More reminders (4)"},  // a screen with room for one row
      {5, 5, 0, 1, "More reminders (4)"},
  };
  for (const auto& c : cases) {
    StatusSnapshot s = snapshot(State::idle);
    for (std::size_t i = 0; i < c.loaded; ++i) {
      s.reminders.push_back({UUID::random(), "Water " + std::to_string(i), "tomorrow"});
    }
    s.reminderCount = c.count;
    const auto menu = statusMenu(s, c.columnRows);
    const auto* reminders = find(menu, "Reminders (" + std::to_string(c.count) + ")");
    ASSERT_NE(reminders, nullptr) << c.count;
    const auto& children = reminders->children;
    const auto shown = std::count_if(children.begin(), children.end(),
                                     [](const StatusMenuEntry& e) { return e.buildsOnOpen; });
    EXPECT_EQ(static_cast<std::size_t>(shown), c.rows) << c.loaded << " in " << c.columnRows;
    EXPECT_EQ(children.back().title, c.last) << c.loaded << " in " << c.columnRows;
    EXPECT_LE(children.size(), std::max<std::size_t>(c.columnRows, 2)) << c.columnRows;
  }
}

// Every stored reminder reached page after page, each page read as the menu reads it when it
// opens: the store's rows from the page's first on.
TEST(StatusMenuModel, ThePagesHoldEveryReminderOnceInStoreOrder) {
  const struct {
    const char* name;
    std::size_t count, columnRows;
    std::vector<std::string> nextPages;  // the "More reminders" rows, page after page
    std::vector<std::size_t> pageSizes;  // entries on each page, its next page's row included
  } cases[] = {
      {"all fit", 35, 35, {}, {35}},
      {"one over", 36, 35, {"More reminders (2)"}, {35, 2}},
      {"two full pages", 69, 35, {"More reminders (35)"}, {35, 35}},
      {"one over two", 70, 35, {"More reminders (36)", "More reminders (2)"}, {35, 35, 2}},
      {"a hundred", 100, 35, {"More reminders (66)", "More reminders (32)"}, {35, 35, 32}},
      {"the bound first",
       250,
       200,
       {"More reminders (150)", "More reminders (50)"},
       {101, 101, 50}},
      {"a column of one row", 3, 1, {"More reminders (2)"}, {2, 2}},  // pages of two
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<CoordinatorStatus::ReminderLine> stored;
    for (std::size_t i = 0; i < c.count; ++i) {
      stored.push_back({UUID::random(), "Water " + std::to_string(i), "tomorrow"});
    }
    // What the source gives a page: the count, and at most the bound of rows from its first.
    const auto pageFrom = [&](std::size_t first) {
      StatusSnapshot s = snapshot(State::idle);
      s.reminderCount = c.count;
      s.firstReminder = first;
      const std::size_t end = std::min(c.count, first + menuReminderRows);
      s.reminders.assign(stored.begin() + std::ptrdiff_t(first),
                         stored.begin() + std::ptrdiff_t(end));
      return s;
    };
    const auto menu = statusMenu(pageFrom(0), c.columnRows);
    const auto* reminders = find(menu, "Reminders (" + std::to_string(c.count) + ")");
    ASSERT_NE(reminders, nullptr);
    std::vector<StatusMenuEntry> page = reminders->children;
    std::vector<std::string> nextPages;
    std::vector<std::size_t> pageSizes;
    std::vector<UUID> deleted;  // what each row's "Delete reminder" carries, page after page
    while (pageSizes.size() < 10) {
      pageSizes.push_back(page.size());
      for (const StatusMenuEntry& row : page) {
        if (row.reminderPage) continue;
        ASSERT_EQ(lines(row.children), (std::vector<std::string>{"Edit...", "Delete reminder"}));
        EXPECT_EQ(row.title, "\u2068Water " + std::to_string(deleted.size()) + "\u2069 - tomorrow");
        deleted.push_back(std::get<UUID>(row.children[1].data));
      }
      const StatusMenuEntry& last = page.back();
      if (!last.reminderPage) break;
      EXPECT_EQ(last.kind, StatusMenuEntry::Kind::submenu);
      EXPECT_TRUE(last.enabled);
      EXPECT_TRUE(last.children.empty()) << "a page is read only when it opens";
      nextPages.push_back(last.title);
      page = reminderPage(pageFrom(*last.reminderPage), c.columnRows);
    }
    EXPECT_EQ(nextPages, c.nextPages);
    EXPECT_EQ(pageSizes, c.pageSizes);
    ASSERT_EQ(deleted.size(), c.count);
    for (std::size_t i = 0; i < c.count; ++i) EXPECT_EQ(deleted[i], stored[i].id) << i;
  }
}

// A page read after reminders were deleted past its first shows what is left, and one read
// without rows offers no next page; the missing editor disables "Edit..." there as on the
// first page.
TEST(StatusMenuModel, APageReadsTheStoreAsItIsWhenItOpens) {
  StatusSnapshot s = snapshot(State::idle);
  s.windows.erase(WindowKind::reminderEditor);
  s.reminderCount = 40;
  s.firstReminder = 40;
  EXPECT_TRUE(reminderPage(s, 35).empty()) << "nothing left from the 41st";
  s.firstReminder = 0;
  EXPECT_EQ(lines(reminderPage(s, 35)), std::vector<std::string>{"[x]More reminders (40) >"})
      << "no row read: no page that would open itself again";

  s.firstReminder = 34;
  for (int i = 34; i < 40; ++i) {
    s.reminders.push_back({UUID::random(), "Water " + std::to_string(i), "tomorrow"});
  }
  const auto page = reminderPage(s, 35);
  ASSERT_EQ(page.size(), 6u);
  EXPECT_EQ(page.front().title, "\u2068Water 34\u2069 - tomorrow");
  EXPECT_EQ(lines(page.front().children),
            (std::vector<std::string>{"[x]Edit...", "Delete reminder"}));
}

TEST(StatusMenuModel, UnmuteClickThroughAndTheMissingTray) {
  const auto muted = statusMenu(snapshot(State::muted));
  EXPECT_EQ(find(muted, "Mute"), nullptr);
  const auto* unmute = find(muted, "Unmute (quiet until 12:00)");
  ASSERT_NE(unmute, nullptr);
  EXPECT_EQ(unmute->command, StatusCommand::unmute);
  StatusSnapshot noExpiry = snapshot(State::muted);
  noExpiry.muteExpiry.reset();
  EXPECT_NE(find(statusMenu(noExpiry), "Unmute"), nullptr);

  StatusSnapshot on = snapshot(State::idle);
  EXPECT_FALSE(find(statusMenu(on), "Click-through mascot")->checked);
  on.clickThrough = true;
  const auto* clickThrough = find(statusMenu(on), "Click-through mascot");
  EXPECT_TRUE(clickThrough->checkable && clickThrough->checked);
  // No tray: this menu lives on the mascot, and click-through would lock the user out.
  EXPECT_EQ(find(statusMenu(snapshot(State::noTray)), "Click-through mascot"), nullptr);
}

TEST(StatusMenuModel, CommandsOfMissingWindowsAreDisabled) {
  StatusSnapshot s = snapshot(State::idle);
  s.windows = {};
  s.mascot = false;
  s.recoveryNeedsAttention = true;
  s.focusHistoryError = "The focus history could not be read.";
  const auto menu = statusMenu(s);
  for (const std::string title :
       {"Quick actions…  Ctrl+Alt+Space", "Start Pomodoro...", "Just five minutes…",
        "Today — three priorities…", "Focus history…", "Weekly reflection…",
        "Find a calendar focus window…", "Move left", "Reset position", "Click-through mascot",
        "Appearance…", "Focus recovery needs attention…", "Add reminder...", "Preferences...",
        "About Vorlane"}) {
    SCOPED_TRACE(title);
    const auto* e = find(menu, title);
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(e->enabled);
  }
  for (const std::string title : {"Vorlane now", "Encourage me", "Quit Vorlane", "For an hour"}) {
    EXPECT_TRUE(find(menu, title)->enabled) << title;
  }
  const auto* history = find(menu, "Focus history needs attention");
  ASSERT_NE(history, nullptr);
  EXPECT_FALSE(history->enabled);
  EXPECT_EQ(history->toolTip, "The focus history could not be read.");

  // Appearance falls back to the preferences.
  s.windows.insert(WindowKind::preferences);
  EXPECT_TRUE(find(statusMenu(s), "Appearance…")->enabled);
}

}  // namespace
}  // namespace vorlane
