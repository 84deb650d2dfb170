// The status item's commands over a fake source: which go to the application, which to the
// mascot, the shell and the item's own reminder editor, and which windows each makes
// available.

#include "ui/tray/status_item_actions.h"

#include <gmock/gmock.h>

#include <set>

#include "tests/support/fake_reminder_editor_window.h"
#include "tests/support/fake_status_source.h"
#include "tests/support/in_memory_preferences_store.h"
#include "tests/support/log_capture.h"
#include "tests/support/log_lines.h"
#include "ui/tray/status_menu_model.h"
#include "ui/tray/status_window_rows.h"

namespace vorlane {
namespace {

using ::testing::ElementsAre;

// The kinds of the shell's windows, opened through the delegate's hooks.
const std::set<WindowKind> shellKinds{WindowKind::preferences, WindowKind::about};

// Every kind the menu opens: all but the welcome, shown once at first launch, and the
// calendar consent, asked by the calendar source.
std::vector<WindowKind> kindsTheMenuOpens() {
  std::vector<WindowKind> kinds;
  for (const WindowKind kind : allWindowKinds) {
    if (kind != WindowKind::welcome && kind != WindowKind::calendarConsent) kinds.push_back(kind);
  }
  return kinds;
}

class StatusItemActionsTest : public testing::Test {
 protected:
  StatusItemActions make(std::shared_ptr<StatusSource> from) {
    StatusItemHooks hooks;
    hooks.moveMascot = [this](double h) { moves.push_back(h); };
    hooks.resetMascot = [this] { ++resets; };
    for (const WindowKind kind : shellKinds) {
      hooks.openWindow[kind] = [this, kind] { opened.push_back(kind); };
    }
    hooks.quit = [this] { ++quits; };
    return StatusItemActions(std::move(from), preferences, std::move(hooks), editor);
  }

  std::shared_ptr<FakeStatusSource> source = std::make_shared<FakeStatusSource>();
  std::shared_ptr<InMemoryPreferencesStore> preferences =
      std::make_shared<InMemoryPreferencesStore>();
  std::shared_ptr<FakeReminderEditorWindow> editor = std::make_shared<FakeReminderEditorWindow>();
  std::vector<double> moves;
  std::vector<WindowKind> opened;
  int resets = 0;
  int quits = 0;
};

// A new kind of window without a row would have no entry: this names the one kind left out.
// A window that only opens shares `openWindow` with its kind; any other command is one row's.
TEST(StatusWindowRows, EveryKindTheMenuOpensHasOneRowAndAWayInOfItsOwn) {
  std::set<StatusCommand> commands;
  for (const WindowKind kind : kindsTheMenuOpens()) {
    SCOPED_TRACE(static_cast<int>(kind));
    const StatusWindowRow* row = statusWindowRow(kind);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->kind, kind);
    EXPECT_FALSE(row->title.empty());
    EXPECT_NE(row->command, StatusCommand::none);
    EXPECT_EQ(windowOpenedBy(row->command, row->kind), kind);
    if (row->command != StatusCommand::openWindow) {
      EXPECT_TRUE(commands.insert(row->command).second) << "a command shared by two rows";
    }
  }
  EXPECT_EQ(statusWindowRows().size(), kindsTheMenuOpens().size());
  EXPECT_EQ(statusWindowRow(WindowKind::welcome), nullptr);
  EXPECT_EQ(statusWindowRow(WindowKind::calendarConsent), nullptr);
  // Other entries into a row's window.
  EXPECT_EQ(windowOpenedBy(StatusCommand::fiveMinutes), WindowKind::focusSessionEditor);
  EXPECT_EQ(windowOpenedBy(StatusCommand::editReminder), WindowKind::reminderEditor);
  EXPECT_EQ(windowOpenedBy(StatusCommand::openAppearance), WindowKind::preferences);
  EXPECT_EQ(windowOpenedBy(StatusCommand::vorlaneNow), std::nullopt);
  EXPECT_EQ(windowOpenedBy(StatusCommand::openWindow), std::nullopt);
}

// Each row's entry is in the menu, enabled with its window and disabled without it, and the
// entry runs the row's command.
TEST(StatusWindowRows, EachRowsEntryFollowsItsWindow) {
  for (const StatusWindowRow& row : statusWindowRows()) {
    SCOPED_TRACE(std::string(row.title));
    StatusSnapshot s;
    for (const StatusWindowRow& other : statusWindowRows()) s.windows.insert(other.kind);
    // The resume notes' entry shows only while a focus is paused.
    if (row.kind == WindowKind::resumeNote) {
      s.session.start(Date(0), "write");
      s.session.pause(Date(60));
    }
    const auto entry = [&] {
      std::vector<StatusMenuEntry> pending = statusMenu(s);
      while (!pending.empty()) {
        StatusMenuEntry e = pending.back();
        pending.pop_back();
        if (e.title == row.title) return std::optional(e);
        pending.insert(pending.end(), e.children.begin(), e.children.end());
      }
      return std::optional<StatusMenuEntry>();
    };
    ASSERT_TRUE(entry());
    EXPECT_TRUE(entry()->enabled);
    EXPECT_EQ(entry()->command, row.command);
    EXPECT_EQ(entry()->data, StatusData(row.kind));
    s.windows.erase(row.kind);
    EXPECT_FALSE(entry()->enabled);
  }
}

TEST_F(StatusItemActionsTest, EveryRowsCommandReachesTheOneWhoOpensItsWindow) {
  const StatusItemActions base = make(source);
  for (const StatusWindowRow& row : statusWindowRows()) {
    SCOPED_TRACE(std::string(row.title));
    StatusItemActions actions = base;
    source->ran.clear();
    opened.clear();
    const int shows = editor->shows;
    actions.run(row.command, row.kind);
    if (shellKinds.contains(row.kind)) {
      EXPECT_THAT(opened, ElementsAre(row.kind));
      EXPECT_TRUE(source->ran.empty());
    } else if (row.kind == WindowKind::reminderEditor) {
      EXPECT_EQ(editor->shows, shows + 1);
      EXPECT_TRUE(source->ran.empty());
    } else {
      ASSERT_EQ(source->ran.size(), 1u);
      EXPECT_EQ(source->ran[0].first, row.command);
      EXPECT_EQ(source->ran[0].second, StatusData(row.kind));
      EXPECT_TRUE(opened.empty());
    }
  }
  // Appearance opens the preferences when the shell gives no way of its own.
  StatusItemActions actions = make(source);
  opened.clear();
  actions.run(StatusCommand::openAppearance, {});
  EXPECT_THAT(opened, ElementsAre(WindowKind::preferences));
}

// What the menu may open: the source's windows, the shell's hooks and the item's own editor;
// a kind nobody registered stays unavailable.
TEST_F(StatusItemActionsTest, AKindWithoutAControllerIsUnavailable) {
  source->state.windows = {WindowKind::today};
  const struct {
    const char* name;
    bool withSource;
    bool withEditor;
    std::set<WindowKind> expected;
  } rows[] = {
      {"all",
       true,
       true,
       {WindowKind::today, WindowKind::reminderEditor, WindowKind::preferences, WindowKind::about}},
      {"no reminder editor",
       true,
       false,
       {WindowKind::today, WindowKind::preferences, WindowKind::about}},
      // Nothing to save to: the editor is not offered; the shell's windows still are.
      {"no source", false, true, {WindowKind::preferences, WindowKind::about}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (!row.withEditor) editor = nullptr;
    const StatusItemActions actions = make(row.withSource ? source : nullptr);
    const StatusSnapshot s = actions.snapshot(true);
    EXPECT_EQ(s.windows, row.expected);
    EXPECT_TRUE(s.mascot);
    editor = std::make_shared<FakeReminderEditorWindow>();
  }
  // A hook left empty is no way in.
  StatusItemActions bare(source, preferences,
                         {.moveMascot = {},
                          .resetMascot = {},
                          .openWindow = {{WindowKind::about, nullptr}},
                          .openAppearance = {},
                          .quit = {},
                          .reportFailure = {}});
  EXPECT_EQ(bare.snapshot(true).windows, std::set<WindowKind>{WindowKind::today});
  EXPECT_FALSE(bare.snapshot(true).mascot);
}

TEST_F(StatusItemActionsTest, TheMascotsAndTheShellsCommandsNeedNoSource) {
  StatusItemActions actions = make(nullptr);
  actions.run(StatusCommand::moveMascot, 1.0);
  actions.run(StatusCommand::moveMascot, std::string("left"));
  actions.run(StatusCommand::resetMascot, {});
  actions.run(StatusCommand::openWindow, WindowKind::about);
  actions.run(StatusCommand::toggleMascotClicks, {});
  actions.run(StatusCommand::quit, {});
  actions.run(StatusCommand::addReminder, {});
  actions.run(StatusCommand::vorlaneNow, {});
  EXPECT_THAT(moves, ElementsAre(1.0));
  EXPECT_EQ(resets, 1);
  EXPECT_THAT(opened, ElementsAre(WindowKind::about));
  EXPECT_TRUE(preferences->preferences().mascotClickThrough);
  EXPECT_EQ(quits, 1);
  EXPECT_EQ(editor->shows, 0);
  // The source's own state is idle then, and click-through is not read.
  EXPECT_FALSE(actions.snapshot(true).clickThrough);
  EXPECT_TRUE(make(source).snapshot(true).clickThrough);
}

TEST_F(StatusItemActionsTest, TheReminderEditorSavesThroughTheSourceAndShowsItsRefusals) {
  const LogCapture log;
  StatusItemActions actions = make(source);
  actions.run(StatusCommand::addReminder, {});
  ASSERT_EQ(editor->shows, 1);
  EXPECT_FALSE(editor->reminder);
  const Reminder added = editor->save("stand up in 10 minutes", "ignored");
  EXPECT_THAT(source->added, ElementsAre("stand up in 10 minutes"));

  actions.run(StatusCommand::editReminder, added.id);
  ASSERT_EQ(editor->shows, 2);
  EXPECT_EQ(editor->reminder->id, added.id);
  editor->save("sit down", "at 5pm");
  EXPECT_EQ(source->updated,
            (std::vector<std::pair<std::string, std::string>>{{"sit down", "at 5pm"}}));
  EXPECT_EQ(source->reminders.at(added.id).phrase, "sit down");

  // The source's refusal reaches the editor unchanged, for it to show.
  source->refusal = std::make_exception_ptr(std::runtime_error("Try a time like 4pm."));
  try {
    editor->save("later", "");
    ADD_FAILURE() << "the refusal was swallowed";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Try a time like 4pm.");
  }

  // Gone from the source, or data that is no id: nothing opens, the reason is logged.
  source->reminders.clear();
  actions.run(StatusCommand::editReminder, added.id);
  actions.run(StatusCommand::editReminder, 0.0);
  EXPECT_EQ(editor->shows, 2);
  EXPECT_THAT(logMessages(log, "reminders"),
              ::testing::Contains("cannot edit a reminder that is no longer saved").Times(2));
}

}  // namespace
}  // namespace vorlane
