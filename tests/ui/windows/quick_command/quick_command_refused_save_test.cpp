// The quick command window over the real coordinator whose reminder store refuses to save:
// a reminder that is not stored is never answered "Saved:".
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/persistence/reminder_list_full_error.h"
#include "tests/ui/windows/window_over_coordinator.h"
#include "ui/kit/window_text.h"
#include "ui/windows/quick_command/quick_command_controller.h"
#include "ui/windows/quick_command/quick_command_view.h"

namespace vorlane {
namespace {

using QuickCommandRefusedSaveTest =
    WindowOverCoordinatorTest<QuickCommandWindow, QuickCommandController, QuickCommandView>;

TEST_F(QuickCommandRefusedSaveTest, ARefusedReminderShowsTheCauseInRedAndKeepsTheTypedText) {
  ASSERT_TRUE(hotKeys->press(quickCommandHotKey.identifier));
  ASSERT_TRUE(QTest::qWaitForWindowActive(controller->host().window()));
  const std::pair<std::exception_ptr, std::string> rows[] = {
      {std::make_exception_ptr(LocalJSONDocumentError(LocalJSONDocumentFailure::diskFull)),
       std::string(describe(LocalJSONDocumentFailure::diskFull))},
      {std::make_exception_ptr(LocalJSONDocumentError(LocalJSONDocumentFailure::notWritable)),
       std::string(describe(LocalJSONDocumentFailure::notWritable))},
      {std::make_exception_ptr(LocalJSONDocumentError(LocalJSONDocumentFailure::notAFolder)),
       std::string(describe(LocalJSONDocumentFailure::notAFolder))},
      {std::make_exception_ptr(LocalJSONDocumentError(LocalJSONDocumentFailure::notWritten)),
       std::string(describe(LocalJSONDocumentFailure::notWritten))},
      {std::make_exception_ptr(ReminderListFullError(81234)),
       "The reminder list is full at 81234 reminders, so the change could not be saved. "
       "Nothing was changed."},
  };
  QTest::keyClicks(view().field(), "remind in 40m stretch");
  const int before = stateChanges;
  for (const auto& [refusal, sentence] : rows) {
    SCOPED_TRACE(sentence);
    reminders->refusal = refusal;
    QTest::keyClick(view().field(), Qt::Key_Return);
    EXPECT_TRUE(view().failed());
    // On the reply's two lines.
    EXPECT_EQ(view().resultLine()->text().replace('\n', ' ').toStdString(), sentence);
    EXPECT_EQ(view().resultLine()->palette().color(QPalette::WindowText), errorTextColor());
    EXPECT_EQ(view().field()->text(), "remind in 40m stretch") << "kept for another try";
    EXPECT_TRUE(coordinator->reminders().reminders().empty());
  }
  EXPECT_EQ(stateChanges, before) << "the tray is told of no change";

  // Room again: the same Return saves it.
  reminders->refusal = nullptr;
  QTest::keyClick(view().field(), Qt::Key_Return);
  EXPECT_FALSE(view().failed());
  EXPECT_EQ(view().resultLine()->text().toStdString(),
            "Saved: \u2068stretch\u2069 \u2014 11:39 am.");
  EXPECT_TRUE(view().field()->text().isEmpty());
  ASSERT_EQ(coordinator->reminders().reminders().size(), 1u);
  EXPECT_EQ(coordinator->reminders().reminders()[0].phrase, "stretch");
}

}  // namespace
}  // namespace vorlane
