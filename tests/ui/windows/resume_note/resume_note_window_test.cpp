#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "tests/support/text_samples.h"
#include "tests/ui/windows/window_over_coordinator.h"
#include "ui/kit/message_line.h"
#include "ui/windows/resume_note/resume_note_controller.h"
#include "ui/windows/resume_note/resume_note_view.h"

namespace vorlane {
namespace {

constexpr const char* tooLong = "Keep your next step to 240 characters.";

// The real coordinator with this window in place of its fake: pausing opens it, resuming a
// focus with a note opens its other form, and its buttons reach the session.
class ResumeNoteWindowTest
    : public WindowOverCoordinatorTest<ResumeNoteWindow, ResumeNoteController, ResumeNoteView> {
 protected:
  QWidget* window() { return controller->host().window(); }
  bool onScreen() { return window() != nullptr && window()->isVisible(); }
  void pause(const std::string& goal = "write report") {
    startFocus(goal);
    coordinator->focus().requestPauseSession();
    ASSERT_TRUE(onScreen());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  }
  void type(const std::string& text) { view().field()->setPlainText(QString::fromStdString(text)); }
  std::string storedNote() {
    const RecordFocusRecoveryStore stored(&records);
    const auto& checkpoint = stored.document().value();
    return checkpoint ? checkpoint->nextStep : "(no checkpoint)";
  }
};

TEST_F(ResumeNoteWindowTest, PausingAsksForANextStepWithTheFieldTakingTheKeyboard) {
  pause();
  EXPECT_EQ(window()->windowTitle(), "Leave yourself a next step");
  EXPECT_EQ(window()->width(), 460);
  EXPECT_GE(window()->height(), 260);
  EXPECT_EQ(window()->minimumSize(), window()->maximumSize()) << "not resizable";
  EXPECT_EQ(view().heading()->text(), "Paused. Your place is safe.");
  EXPECT_EQ(view().goalLabel()->text(), "write report");
  EXPECT_EQ(view().field()->toPlainText(), "");
  EXPECT_EQ(view().field()->placeholderText(), "Next: fix the failing login test");
  EXPECT_EQ(view().field()->accessibleName(), "Optional next step");
  EXPECT_EQ(view().saveButton()->text(), "Save next step");
  EXPECT_EQ(view().notNowButton()->text(), "Not now");
  EXPECT_FALSE(view().errorLine()->isVisible());
  EXPECT_EQ(QApplication::focusWidget(), view().field());
  const auto* caption = view().findChild<QLabel*>("caption");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->text(),
            "Optional \u00B7 up to 240 characters \u00B7 saved only on this computer. Your timer "
            "stays paused until you resume.");
}

// Regression: "Paused. Your place is safe." was shown while the place could not be stored.
TEST_F(ResumeNoteWindowTest, APauseWhosePlaceCouldNotBeSavedSaysSoAndLogsWhy) {
  records.setFailing(true);
  pause();
  EXPECT_EQ(view().heading()->text(), "Paused. Your place could not be saved.");
  EXPECT_EQ(coordinator->focus().recoverySaveError(),
            "Your focus recovery could not be saved. Existing saved data was kept.");
  bool logged = false;
  for (const auto& line : log.lines()) {
    logged = logged || (line.level == LogLevel::error && line.category == "pomodoro" &&
                        line.message.starts_with("focus checkpoint could not be saved: "));
  }
  EXPECT_TRUE(logged);
  view().notNowButton()->click();

  records.setFailing(false);
  coordinator->focus().requestResumeSession();
  coordinator->focus().requestPauseSession();
  ASSERT_TRUE(onScreen());
  EXPECT_EQ(view().heading()->text(), "Paused. Your place is safe.");
}

TEST_F(ResumeNoteWindowTest, ANoteOverTheLimitIsRefusedAndKeptUntilItFits) {
  pause();
  // 241 characters as the user sees them, typed with blanks that cleaning removes.
  const std::string over = "  " + repeated("e\u0301", 241) + "  ";
  type(over);
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_TRUE(onScreen());
  EXPECT_TRUE(view().errorLine()->isVisible());
  EXPECT_EQ(view().errorLine()->text(), tooLong);
  EXPECT_EQ(view().field()->toPlainText().toStdString(), over) << "the typed text is kept";
  EXPECT_EQ(phase(), "paused");
  EXPECT_EQ(coordinator->status().nextStep, "");

  // Typing does not take the refusal away; a save that goes through closes the window.
  type("   fix\n\nthe   failing test  ");
  EXPECT_EQ(view().errorLine()->text(), tooLong);
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_FALSE(onScreen());
  EXPECT_EQ(phase(), "paused") << "this form never resumes";
  EXPECT_EQ(coordinator->status().nextStep, "fix the failing test");
  EXPECT_EQ(storedNote(), "fix the failing test") << "kept with the checkpoint";
}

TEST_F(ResumeNoteWindowTest, ShiftReturnBreaksTheLineInsteadOfSaving) {
  pause();
  QTest::keyClicks(view().field(), "first");
  QTest::keyClick(view().field(), Qt::Key_Return, Qt::ShiftModifier);
  QTest::keyClicks(view().field(), "second");
  EXPECT_TRUE(onScreen());
  EXPECT_EQ(view().field()->toPlainText(), "first\nsecond");
  QTest::keyClick(view().field(), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_FALSE(onScreen());
  EXPECT_EQ(coordinator->status().nextStep, "first second");
}

TEST_F(ResumeNoteWindowTest, ResumingWithANoteShowsItFirstAndReturnResumes) {
  pause();
  type("call Sam back");
  QTest::mouseClick(view().saveButton(), Qt::LeftButton);
  ASSERT_FALSE(onScreen());

  coordinator->focus().requestResumeSession();
  ASSERT_TRUE(onScreen());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
  EXPECT_EQ(phase(), "paused") << "the note comes first";
  EXPECT_EQ(window()->windowTitle(), "Where was I?");
  EXPECT_EQ(view().heading()->text(), "Pick up where you left off");
  EXPECT_EQ(view().field()->toPlainText(), "call Sam back");
  EXPECT_EQ(view().saveButton()->text(), "Save && resume") << "shown as \"Save & resume\"";
  EXPECT_EQ(QApplication::focusWidget(), &view()) << "no field takes the keyboard";

  QTest::keyClick(&view(), Qt::Key_Return);
  EXPECT_FALSE(onScreen());
  EXPECT_EQ(phase(), "working");
}

TEST_F(ResumeNoteWindowTest, NotNowAndEscapeLeaveTheSessionPausedAndTheNoteUnsaved) {
  struct Row {
    const char* name;
    bool escape;
  };
  for (const Row row : {Row{"Not now", false}, Row{"Escape", true}}) {
    SCOPED_TRACE(row.name);
    SetUp();
    pause();
    type("unsaved");
    if (row.escape) {
      QTest::keyClick(view().field(), Qt::Key_Escape);
    } else {
      QTest::mouseClick(view().notNowButton(), Qt::LeftButton);
    }
    EXPECT_FALSE(onScreen());
    EXPECT_EQ(phase(), "paused");
    EXPECT_EQ(coordinator->status().nextStep, "");
  }
}

TEST_F(ResumeNoteWindowTest, ASessionReplacedWhileTheNoteIsOpenIsNeitherSavedNorResumed) {
  // The window as the coordinator hands it out, its callbacks kept.
  struct Recording final : ResumeNoteWindow {
    explicit Recording(std::shared_ptr<ResumeNoteController> shown) : real(std::move(shown)) {}
    void show(const std::string& goal, const std::string& note, bool returning, bool placeSaved,
              std::function<void(const std::string&)> saveAction,
              std::function<void()> resumeAction) override {
      save = saveAction;
      resume = resumeAction;
      real->show(goal, note, returning, placeSaved, std::move(saveAction), std::move(resumeAction));
    }
    void close() override { real->close(); }
    std::shared_ptr<ResumeNoteController> real;
    std::function<void(const std::string&)> save;
    std::function<void()> resume;
  };
  const auto recording = std::make_shared<Recording>(controller);
  fresh(at(10, 59), [&](VisitCoordinator::Dependencies& given) {
    given.windows.set<ResumeNoteWindow>(recording);
  });
  pause("first focus");
  const auto firstSave = recording->save;
  const auto firstResume = recording->resume;
  // The user starts another focus from the tray: the note of the first one goes.
  coordinator->focus().requestNewPomodoro();
  windows.focusSessionEditor->start("second focus");
  presenter->finishVisit();
  ASSERT_EQ(phase(), "working");
  EXPECT_FALSE(onScreen());

  // Should a note of the first session still be on screen, it changes nothing.
  controller->show("first focus", "", true, true, firstSave, firstResume);
  type("step for the first");
  QTest::mouseClick(view().saveButton(), Qt::LeftButton);
  EXPECT_TRUE(onScreen());
  EXPECT_EQ(view().errorLine()->text(), "There is no paused session to resume.");
  EXPECT_EQ(view().field()->toPlainText(), "step for the first");
  EXPECT_EQ(coordinator->focus().pomodoro().focus(), "second focus");
  EXPECT_EQ(coordinator->status().nextStep, "");
  EXPECT_EQ(phase(), "working");

  // Its resume, too, only closes the window.
  coordinator->focus().requestPauseSession();
  controller->show(
      "first focus", "", true, true, [](const std::string&) {}, firstResume);
  view().submit();
  EXPECT_FALSE(onScreen());
  EXPECT_EQ(phase(), "paused") << "the second focus is not resumed by the first one's note";
}

TEST_F(ResumeNoteWindowTest, AnotherRequestReplacesTheOpenFormAndItsTyping) {
  pause();
  type("half typed");
  coordinator->focus().showResumeNote(true);
  EXPECT_EQ(window()->windowTitle(), "Where was I?");
  EXPECT_EQ(view().field()->toPlainText(), "");
  EXPECT_EQ(view().saveButton()->text(), "Save && resume") << "shown as \"Save & resume\"";
}

TEST_F(ResumeNoteWindowTest, ACheckpointWithANoteOverTheLimitIsKeptAndNeverShown) {
  pause();
  type("short note");
  QTest::keyClick(view().field(), Qt::Key_Return);
  ASSERT_EQ(storedNote(), "short note");
  // As a later version, or a hand edit, might leave it: 300 characters.
  std::string bytes = *records.rawBytes(RecordFocusRecoveryStore::key);
  bytes.replace(bytes.find("short note"), 10, std::string(300, 'n'));
  records.setData(RecordFocusRecoveryStore::key, bytes);

  fresh(at(11, 30), [this](VisitCoordinator::Dependencies& given) {
    given.windows.set<ResumeNoteWindow>(controller);
  });
  EXPECT_EQ(phase(), "idle") << "not restored";
  EXPECT_TRUE(coordinator->status().recoveryNeedsAttention) << "the tray and Today say so";
  EXPECT_EQ(refusal([&] { coordinator->focus().requestResumeSession(); }), notPaused);
  coordinator->focus().showResumeNote(true);
  EXPECT_FALSE(onScreen());
  EXPECT_EQ(records.rawBytes(RecordFocusRecoveryStore::key), bytes) << "kept as it was";
}

// The window alone, with saves the test controls.
class ResumeNoteForms : public ::testing::Test {
 protected:
  ResumeNoteController controller;
  std::vector<std::string> saved;
  int resumes = 0;
  std::function<void(const std::string&)> save(const char* refusal = nullptr) {
    return [this, refusal](const std::string& note) {
      if (refusal != nullptr) throw std::runtime_error(refusal);
      saved.push_back(note);
    };
  }
  ResumeNoteView& view() { return dynamic_cast<ResumeNoteView&>(*controller.host().content()); }
};

TEST_F(ResumeNoteForms, GoalsShowAtMostThreeLinesAndAnEmptyOneIsNamed) {
  struct Row {
    const char* name;
    std::string goal;
    QString shown;  // empty: checked by shape below
  };
  const Row rows[] = {
      {"empty goal", "", "Your focus session"},
      {"markup stays text", "<b>bold</b> plan", "<b>bold</b> plan"},
      {"right to left", "\u05DC\u05DB\u05EA\u05D5\u05D1 \u05D3\u05D5\u05D7",
       "\u05DC\u05DB\u05EA\u05D5\u05D1 \u05D3\u05D5\u05D7"},
      {"long words", repeated("paragraph ", 60), ""},
      {"one unbroken word", repeated("x", 600), ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    controller.show(row.goal, "", false, true, save(), [this] { ++resumes; });
    const QString shown = view().goalLabel()->text();
    if (!row.shown.isEmpty()) {
      EXPECT_EQ(shown, row.shown);
      continue;
    }
    EXPECT_LE(shown.count('\n'), 2) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << "cut off at the end";
    EXPECT_EQ(view().goalLabel()->toolTip().toStdString(), row.goal) << "whole on hover";
  }
}

TEST_F(ResumeNoteForms, ARefusalStaysUntilTheNextAndResumeRunsOnlyAfterASave) {
  controller.show("goal", "kept note", true, true,
                  save("Saved data could not be read and was "
                       "preserved. Clear this record explicitly to "
                       "start over."),
                  [this] { ++resumes; });
  view().submit();
  EXPECT_EQ(resumes, 0);
  EXPECT_TRUE(controller.host().window()->isVisible());
  EXPECT_EQ(view().errorLine()->accessibleName(),
            "Error: Saved data could not be read and was preserved. Clear this record explicitly "
            "to start over.");
  EXPECT_EQ(view().field()->toPlainText(), "kept note");

  controller.show("goal", "kept note", true, true, save(), [this] { ++resumes; });
  view().submit();
  EXPECT_EQ(saved, std::vector<std::string>{"kept note"});
  EXPECT_EQ(resumes, 1);
  EXPECT_FALSE(controller.host().window()->isVisible());
  controller.close();  // the coordinator closes it too on resuming: harmless
  EXPECT_FALSE(controller.host().window()->isVisible());
}

}  // namespace
}  // namespace vorlane

namespace vorlane {
namespace {

// Offscreen pictures of both forms, written where VORLANE_SCREENSHOT_DIR points.
TEST_F(ResumeNoteForms, BothFormsDrawWithinTheirWidth) {
  struct Row {
    const char* name;
    bool returning;
    const char* refusal;
    bool placeSaved = true;
  };
  const Row rows[] = {{"resume-note-pause", false, nullptr},
                      {"resume-note-return", true, "Keep your next step to 240 characters."},
                      {"resume-note-pause-unsaved", false, nullptr, false}};
  const char* folder = std::getenv("VORLANE_SCREENSHOT_DIR");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    controller.show(
        "Draft the quarterly report for the design review, with the numbers from "
        "March and the three open questions the team raised on Friday afternoon",
        row.returning ? "Check the March totals against the spreadsheet" : "", row.returning,
        row.placeSaved, save(row.refusal), [this] { ++resumes; });
    QWidget& window = *controller.host().window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    if (row.refusal != nullptr) view().submit();
    QCoreApplication::processEvents();
    const QImage picture = window.grab().toImage();
    EXPECT_EQ(picture.width() / picture.devicePixelRatio(), 460);
    EXPECT_LE(view().goalLabel()->text().count('\n'), 2);
    if (folder) picture.save(QString::fromLocal8Bit(folder) + "/" + row.name + ".png");
  }
}

}  // namespace
}  // namespace vorlane
