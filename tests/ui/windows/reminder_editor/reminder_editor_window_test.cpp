#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <memory>
#include <stdexcept>

#include "core/reminders/reminder_editing.h"
#include "core/reminders/reminder_parser.h"
#include "tests/support/fake_clock.h"
#include "tests/support/text_role_check.h"
#include "tests/support/text_samples.h"
#include "ui/kit/window_text.h"
#include "ui/windows/reminder_editor/reminder_editor_controller.h"
#include "ui/windows/reminder_editor/reminder_editor_view.h"

namespace vorlane {
namespace {

constexpr const char* timeSentence = "Add a time, such as 4pm, in 25m, or weekdays 9:30am.";
constexpr const char* messageSentence = "Add a message for the character to say.";
constexpr const char* goneSentence =
    "This reminder is no longer saved. Close this window and add a new reminder.";

Calendar berlin() { return Calendar("Europe/Berlin", "en_US"); }

// Saves as the coordinator does, over the real parser and editing rules, into a list.
struct FakeReminders {
  explicit FakeReminders(const FakeClock& clock) : clock(clock) {}
  const FakeClock& clock;
  std::vector<Reminder> stored;
  int saves = 0;

  std::function<Reminder(const std::string&, const std::string&)> add() {
    return [this](const std::string& text, const std::string&) {
      ++saves;
      Reminder made = ReminderParser(berlin()).parse(text, clock.now());
      stored.push_back(made);
      return made;
    };
  }
  std::function<Reminder(const std::string&, const std::string&)> edit(UUID id) {
    return [this, id](const std::string& phrase, const std::string& schedule) {
      ++saves;
      const auto it =
          std::find_if(stored.begin(), stored.end(), [&](const Reminder& r) { return r.id == id; });
      if (it == stored.end()) {
        throw ReminderEditing::Error(ReminderEditing::ErrorCase::reminderNoLongerExists);
      }
      *it = ReminderEditing::revised(*it, phrase, schedule, clock.now(), berlin());
      return *it;
    };
  }
};

class ReminderEditorWindow : public ::testing::Test {
 protected:
  // Monday 30 March 2026, 08:55 in Berlin.
  std::shared_ptr<FakeClock> clock =
      std::make_shared<FakeClock>(*berlin().date(2026, 3, 30, 8, 55));
  ReminderEditorController controller{clock, berlin};
  FakeReminders reminders{*clock};

  ReminderEditorView& view() {
    auto* content = dynamic_cast<ReminderEditorView*>(controller.host().content());
    if (content == nullptr) throw std::logic_error("no reminder editor on screen");
    return *content;
  }
  QWidget& window() { return *controller.host().window(); }
  // A content put into a window already on screen is shown once the event loop runs.
  void shown() {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view().isVisible(); }));
  }
  void showAdd() {
    controller.show(std::nullopt, reminders.add());
    shown();
  }
  void showEdit(const Reminder& reminder) {
    controller.show(reminder, reminders.edit(reminder.id));
    shown();
  }
  void typeAndReturn(const QString& text) {
    view().field()->clear();
    QTest::keyClicks(view().field(), text);
    QTest::keyClick(view().field(), Qt::Key_Return);
  }
  // One stored reminder at 4pm today, to edit.
  Reminder storedStandup() {
    reminders.add()("4pm standup", "");
    return reminders.stored.back();
  }
};

QStringList visibleLabels(const QWidget& widget) {
  QStringList all;
  for (const QLabel* label : widget.findChildren<QLabel*>()) {
    if (label->isVisibleTo(&widget) && !label->text().isEmpty()) all << label->text();
  }
  return all;
}

TEST_F(ReminderEditorWindow, AddFormShowsItsLinesWithTheKeyboardInTheField) {
  showAdd();
  EXPECT_EQ(window().windowTitle(), "Add reminder");
  EXPECT_EQ(window().width(), 440);
  // As tall as its lines: the buttons sit the column's inset above the bottom edge, with no
  // empty band over them.
  QCoreApplication::processEvents();
  const QWidget& save = *view().saveButton();
  const int below = window().height() - save.mapTo(&window(), QPoint(0, save.height())).y();
  EXPECT_LE(below, 24);
  EXPECT_GE(below, 12);
  EXPECT_EQ(window().minimumSize(), window().maximumSize()) << "not resizable";
  EXPECT_EQ(visibleLabels(view()).join("\n").toStdString(),
            "What should the character remind you about?\n"
            "Type one reminder, then click Add or press Return.\n"
            "Examples: 4pm standup, in 25m stretch, weekdays 9:30am yoga.\n"
            "A clock time that has passed is scheduled for tomorrow.");
  EXPECT_EQ(view().field()->placeholderText(), "in 25m stretch");
  EXPECT_EQ(view().field()->accessibleName(), "Reminder with time and message");
  EXPECT_EQ(view().scheduleField(), nullptr);
  EXPECT_EQ(view().saveButton()->text(), "Add reminder");
  EXPECT_EQ(view().saveButton()->accessibleName(), "Add reminder");
  EXPECT_EQ(view().closeButton()->text(), "Close");
  EXPECT_TRUE(view().saveButton()->isEnabled()) << "never disabled, even with nothing typed";
  EXPECT_EQ(QApplication::focusWidget(), view().field());
}

TEST_F(ReminderEditorWindow, TwoAddsInARowGiveTwoConfirmationsAndAFailureTakesTheLastAway) {
  showAdd();
  struct Row {
    const char* typed;
    const char* error;         // none when saved
    const char* confirmation;  // none when the line is gone
  };
  const Row rows[] = {
      {"in 25m stretch", nullptr,
       "Added \"\u2068stretch\u2069\" for 9:20 AM. Add another, or close this window."},
      {"4pm standup", nullptr,
       "Added \"\u2068standup\u2069\" for 4:00 PM. Add another, or close this window."},
      {"4pm", messageSentence, nullptr},
      {"call the bakery", timeSentence, nullptr},
      // A success after a failure: the red line goes and the confirmation comes back.
      {"weekdays 9:30am yoga", nullptr,
       "Added \"\u2068yoga\u2069\" for weekdays at 9:30 AM. Add another, or close this window."},
  };
  size_t saved = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    typeAndReturn(row.typed);
    EXPECT_EQ(view().errorLine()->isVisible(), row.error != nullptr);
    EXPECT_EQ(view().confirmationLine()->isVisible(), row.confirmation != nullptr);
    if (row.error) {
      EXPECT_EQ(view().errorLine()->text().toStdString(), row.error);
      EXPECT_EQ(view().errorLine()->accessibleName().toStdString(),
                std::string("Error: ") + row.error);
      EXPECT_EQ(view().errorLine()->palette().color(QPalette::WindowText), errorTextColor());
      EXPECT_EQ(view().field()->text().toStdString(), row.typed) << "kept for correction";
    } else {
      ++saved;
      const QString shown = view().confirmationLine()->text();
      EXPECT_EQ(std::string(shown.toUtf8().constData(), size_t(shown.toUtf8().size())),
                row.confirmation);
      EXPECT_EQ(view().field()->text(), "") << "ready for the next one";
    }
    EXPECT_EQ(reminders.stored.size(), saved);
    EXPECT_EQ(QApplication::focusWidget(), view().field());
    EXPECT_TRUE(window().isVisible()) << "adding never closes the window";
  }
}

TEST_F(ReminderEditorWindow, BadInputGetsItsSentenceAndStoresNothing) {
  const std::string longText = repeated("a", 10'000);
  struct Row {
    const char* name;
    std::string typed;
    const char* sentence;
  };
  const Row rows[] = {
      {"empty", "", timeSentence},
      {"blanks", "   \t  ", timeSentence},
      {"a time alone", "4pm", messageSentence},
      {"10,000 characters", longText, timeSentence},
      {"right to left", "\u05D4\u05EA\u05E7\u05E9\u05E8 \u05DC\u05D0\u05DE\u05D0", timeSentence},
      {"joined emoji", familyEmoji + familyEmoji, timeSentence},
      {"control characters", "\x01\x02\x1b[31m", timeSentence},
      {"NUL", std::string("stretch\0later", 13), timeSentence},
  };
  for (const bool clickAdd : {false, true}) {
    showAdd();
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (clickAdd ? " (button)" : " (Return)"));
      const QString typed = QString::fromUtf8(row.typed.data(), qsizetype(row.typed.size()));
      view().field()->setText(typed);
      if (clickAdd) {
        QTest::mouseClick(view().saveButton(), Qt::LeftButton);
      } else {
        QTest::keyClick(view().field(), Qt::Key_Return);
      }
      EXPECT_EQ(view().errorLine()->text().toStdString(), row.sentence);
      EXPECT_TRUE(view().errorLine()->isVisible());
      EXPECT_EQ(view().field()->text(), typed);
      EXPECT_TRUE(reminders.stored.empty());
    }
  }
  EXPECT_EQ(reminders.saves, 2 * int(std::size(rows)));
}

TEST_F(ReminderEditorWindow, OddCharactersInAMessageAreStoredAndNamedAsTyped) {
  showAdd();
  const std::string longPhrase = repeated("long ", 2'000) + "end";
  struct Row {
    const char* name;
    std::string phrase;
    std::string named;
  };
  const Row rows[] = {
      {"joined emoji", familyEmoji + " stretch", familyEmoji + " stretch"},
      // Isolated, a right-to-left name leaves "for 9:20 AM" after it.
      {"right to left", "\u05E9\u05DC\u05D5\u05DD", "\u05E9\u05DC\u05D5\u05DD"},
      {"Arabic", "\u0627\u062A\u0635\u0644 \u0628\u0623\u0645\u064A",
       "\u0627\u062A\u0635\u0644 \u0628\u0623\u0645\u064A"},
      {"control characters and NUL",
       std::string("tab\x01"
                   "bell\0"
                   "nul",
                   12),
       std::string("tab\x01"
                   "bell\0"
                   "nul",
                   12)},
      {"markup", "<b>not bold</b>", "<b>not bold</b>"},
      // Stored whole, named in part: the window stays on the screen.
      {"10,000 characters", longPhrase, repeated("long ", 20) + "\u2026"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string typed = "in 25m " + row.phrase;
    view().field()->setText(QString::fromUtf8(typed.data(), qsizetype(typed.size())));
    QTest::keyClick(view().field(), Qt::Key_Return);
    ASSERT_FALSE(reminders.stored.empty());
    EXPECT_EQ(reminders.stored.back().phrase, row.phrase);
    const QByteArray shown = view().confirmationLine()->text().toUtf8();
    EXPECT_EQ(
        std::string(shown.constData(), size_t(shown.size())),
        "Added \"\u2068" + row.named + "\u2069\" for 9:20 AM. Add another, or close this window.");
    EXPECT_EQ(view().confirmationLine()->textFormat(), Qt::PlainText);
    QCoreApplication::processEvents();
    EXPECT_LE(window().height(), 400);
  }
}

TEST_F(ReminderEditorWindow, EditFormOpensWithTheMessageAndTheCurrentSchedule) {
  const Reminder standup = storedStandup();
  showEdit(standup);
  EXPECT_EQ(window().windowTitle(), "Edit reminder");
  EXPECT_EQ(visibleLabels(view()).join("\n").toStdString(),
            "Message\nScheduled: 4:00 PM\n"
            "Leave blank to keep the exact date and time. Or enter 4pm, in 25m, daily 9am, or "
            "weekdays 9:30am.");
  EXPECT_EQ(view().field()->text(), "standup");
  EXPECT_EQ(view().field()->placeholderText(), "Message");
  EXPECT_EQ(view().field()->accessibleName(), "Reminder message");
  ASSERT_NE(view().scheduleField(), nullptr);
  EXPECT_EQ(view().scheduleField()->text(), "");
  EXPECT_EQ(view().scheduleField()->placeholderText(), "Reschedule (optional), e.g. in 25m");
  EXPECT_EQ(view().scheduleField()->accessibleName(), "Reschedule, optional");
  EXPECT_EQ(view().saveButton()->text(), "Save changes");
  EXPECT_EQ(QApplication::focusWidget(), view().field());
}

TEST_F(ReminderEditorWindow, AnEditClosesOnlyWhenItIsSaved) {
  struct Row {
    const char* name;
    std::string message;
    std::string schedule;
    bool returnInSchedule;
    const char* error;   // none when it saves
    const char* phrase;  // what is stored afterwards
    const char* description;
  };
  const Row rows[] = {
      {"emptied message", "", "", false, messageSentence, "standup", "4:00 PM"},
      {"blank message", "  \t ", "in 10m", true, messageSentence, "standup", "4:00 PM"},
      {"schedule with no time", "standup", "soon", false, timeSentence, "standup", "4:00 PM"},
      {"NUL as the schedule", "standup", std::string(1, '\0'), false, timeSentence, "standup",
       "4:00 PM"},
      {"blank schedule keeps the trigger", " daily standup ", "   ", false, nullptr,
       "daily standup", "4:00 PM"},
      {"Return in the schedule field", "standup", "in 10m", true, nullptr, "standup", "9:05 AM"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    reminders.stored.clear();
    const Reminder standup = storedStandup();
    showEdit(standup);
    view().field()->setText(QString::fromUtf8(row.message.data(), qsizetype(row.message.size())));
    view().scheduleField()->setText(
        QString::fromUtf8(row.schedule.data(), qsizetype(row.schedule.size())));
    QTest::keyClick(row.returnInSchedule ? view().scheduleField() : view().field(), Qt::Key_Return);
    ASSERT_EQ(reminders.stored.size(), 1u);
    const Reminder& now = reminders.stored.front();
    EXPECT_EQ(now.id, standup.id);
    EXPECT_EQ(now.phrase, row.phrase);
    EXPECT_EQ(now.scheduleDescription(berlin(), clock->peek()), row.description);
    EXPECT_EQ(window().isVisible(), row.error != nullptr);
    if (row.error) {
      EXPECT_EQ(view().errorLine()->text().toStdString(), row.error);
      EXPECT_EQ(now, standup) << "a refusal changes nothing";
      EXPECT_EQ(view().field()->text().toStdString(), row.message);
      EXPECT_FALSE(view().confirmationLine()->isVisible()) << "never set while editing";
    } else if (row.schedule.find_first_not_of(' ') == std::string::npos) {
      EXPECT_EQ(now.trigger, standup.trigger);
      EXPECT_EQ(now.createdAt, standup.createdAt);
    }
  }
}

TEST_F(ReminderEditorWindow, AReminderDeletedMeanwhileGetsItsSentenceAndTheWindowStays) {
  const Reminder standup = storedStandup();
  showEdit(standup);
  reminders.stored.clear();
  QTest::mouseClick(view().saveButton(), Qt::LeftButton);
  EXPECT_TRUE(window().isVisible());
  EXPECT_EQ(view().errorLine()->text().toStdString(), goneSentence);
  EXPECT_TRUE(reminders.stored.empty());
}

TEST_F(ReminderEditorWindow, ASaveThatThrowsSomethingOddStillGetsASentence) {
  const std::function<Reminder(const std::string&, const std::string&)> throwers[] = {
      [](const std::string&, const std::string&) -> Reminder { throw 7; },
      [](const std::string&, const std::string&) -> Reminder { throw std::runtime_error(""); },
  };
  for (const auto& save : throwers) {
    controller.show(std::nullopt, save);
    shown();
    typeAndReturn("in 25m stretch");
    EXPECT_EQ(view().errorLine()->text(), "That did not work. Try again.");
    EXPECT_TRUE(window().isVisible());
  }
}

TEST_F(ReminderEditorWindow, EachRequestReplacesWhatIsOpenAndClosingStoresNothing) {
  const Reminder standup = storedStandup();
  showEdit(standup);
  view().field()->setText("half edited");
  showAdd();
  EXPECT_EQ(window().windowTitle(), "Add reminder");
  EXPECT_FALSE(view().editing());
  EXPECT_EQ(view().field()->text(), "");
  typeAndReturn("4pm");  // a refusal, then asked to edit: the red line goes with the form
  showEdit(standup);
  EXPECT_EQ(window().windowTitle(), "Edit reminder");
  EXPECT_EQ(view().field()->text(), "standup");
  EXPECT_FALSE(view().errorLine()->isVisible());

  struct Row {
    const char* name;
    std::function<void(ReminderEditorView&)> closeIt;
  };
  const Row rows[] = {
      {"Escape", [](ReminderEditorView& v) { QTest::keyClick(v.field(), Qt::Key_Escape); }},
      {"Escape in the schedule",
       [](ReminderEditorView& v) { QTest::keyClick(v.scheduleField(), Qt::Key_Escape); }},
      {"Close", [](ReminderEditorView& v) { QTest::mouseClick(v.closeButton(), Qt::LeftButton); }},
      {"title bar", [](ReminderEditorView& v) { v.window()->close(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    showEdit(standup);
    view().field()->setText("changed");
    view().scheduleField()->setText("in 5m");
    row.closeIt(view());
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(reminders.stored, std::vector<Reminder>{standup});
  }
  EXPECT_EQ(reminders.saves, 2) << "the stored one and the refused 4pm";
}

TEST_F(ReminderEditorWindow, ItsLinesTakeTheSharedTextSizes) {
  showEdit(storedStandup());
  const ReminderEditorView& shown = view();
  EXPECT_TRUE(testing::sizedAs(testing::labelShowing(shown, "Message"), TextRole::headline));
  for (const char* name : {"schedule", "error", "confirmation"}) {
    EXPECT_TRUE(testing::sizedAs(shown.findChild<QLabel*>(name), TextRole::callout)) << name;
  }
  EXPECT_TRUE(testing::sizedAs(shown.findChild<QLabel*>("help"), TextRole::caption));
}

}  // namespace
}  // namespace vorlane
