// The reminder editor saving through the real coordinator whose reminder store refuses to
// save: the cause shows in red, the typed text stays, and nothing reads as added.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <memory>
#include <stdexcept>

#include "tests/coordination/coordinator/coordinator_harness.h"
#include "ui/windows/reminder_editor/reminder_editor_controller.h"
#include "ui/windows/reminder_editor/reminder_editor_view.h"

namespace vorlane {
namespace {

class ReminderEditorRefusedSaveTest : public CoordinatorTest {
 protected:
  void SetUp() override { buildAndStart(); }
  ReminderEditorView& view() {
    auto* content = dynamic_cast<ReminderEditorView*>(controller.host().content());
    if (content == nullptr) throw std::logic_error("no reminder editor on screen");
    return *content;
  }
  void shown() {
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller.host().window()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view().isVisible(); }));
  }
  // As the status item hands the editor the coordinator's saves.
  void showAdd() {
    controller.show(std::nullopt, [this](const std::string& text, const std::string&) {
      return coordinator->reminders().add(text);
    });
    shown();
  }
  void showEdit(const Reminder& reminder) {
    controller.show(
        reminder, [this, id = reminder.id](const std::string& phrase, const std::string& schedule) {
          return coordinator->reminders().update(id, phrase, schedule);
        });
    shown();
  }
  bool windowOpen() { return controller.host().window()->isVisible(); }

  ReminderEditorController controller{clock, [] { return berlin; }};
};

TEST_F(ReminderEditorRefusedSaveTest, ARefusedAddKeepsTheTextAndShowsTheCauseUntilItSaves) {
  showAdd();
  reminders->failWith(LocalJSONDocumentFailure::diskFull);
  QTest::keyClicks(view().field(), "in 25m stretch");
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_TRUE(view().errorLine()->showsError());
  EXPECT_EQ(view().errorLine()->text().toStdString(), describe(LocalJSONDocumentFailure::diskFull));
  EXPECT_FALSE(view().confirmationLine()->isVisible()) << "nothing reads as added";
  EXPECT_EQ(view().field()->text(), "in 25m stretch");
  EXPECT_TRUE(coordinator->reminders().reminders().empty());

  reminders->refusal = nullptr;
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_FALSE(view().errorLine()->showsError());
  EXPECT_TRUE(view().confirmationLine()->isVisible());
  EXPECT_TRUE(view().field()->text().isEmpty());
  ASSERT_EQ(coordinator->reminders().reminders().size(), 1u);
}

TEST_F(ReminderEditorRefusedSaveTest, ARefusedEditStaysOpenWithTheNewWordsAndTheOldReminder) {
  const Reminder stored = coordinator->reminders().add("in 25m stretch");
  showEdit(stored);
  reminders->failWith(LocalJSONDocumentFailure::notWritable);
  view().field()->selectAll();
  QTest::keyClicks(view().field(), "stretch legs");
  QTest::keyClicks(view().scheduleField(), "in 40m");
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_TRUE(windowOpen()) << "a refused edit does not close the window";
  EXPECT_EQ(view().errorLine()->text().toStdString(),
            describe(LocalJSONDocumentFailure::notWritable));
  EXPECT_EQ(view().field()->text(), "stretch legs");
  EXPECT_EQ(view().scheduleField()->text(), "in 40m");
  EXPECT_EQ(coordinator->reminders().reminders(), std::vector<Reminder>{stored});

  reminders->refusal = nullptr;
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !windowOpen(); }));
  ASSERT_EQ(coordinator->reminders().reminders().size(), 1u);
  EXPECT_EQ(coordinator->reminders().reminders()[0].phrase, "stretch legs");
}

}  // namespace
}  // namespace vorlane
