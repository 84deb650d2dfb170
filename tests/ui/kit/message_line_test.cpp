#include "ui/kit/message_line.h"

#include <gtest/gtest.h>

#include <QWidget>

#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

TEST(MessageLine, ShowsTheLatestMessageInItsToneAndHidesWhenEmpty) {
  QWidget window;
  MessageLine line(TextRole::caption, &window);
  window.show();
  EXPECT_FALSE(line.isVisible()) << "nothing to say at first";
  EXPECT_EQ(line.textFormat(), Qt::PlainText);
  EXPECT_TRUE(line.wordWrap());

  enum Act { error, note, clear };
  const struct {
    const char* name;
    Act act;
    QString text;
    bool visible, showsError;
    QString accessibleName;
  } rows[] = {
      {"a refusal", error, "Keep your next step to 240 characters.", true, true,
       "Error: Keep your next step to 240 characters."},
      {"markup stays text", error, "<b>x</b>", true, true, "Error: <b>x</b>"},
      {"a reply after a refusal", note, "Done.", true, false, ""},
      {"cleared", clear, "", false, false, ""},
      {"an empty refusal hides", error, "", false, false, ""},
      {"an empty note hides", note, "", false, false, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.act == error) line.showError(row.text);
    if (row.act == note) line.showNote(row.text);
    if (row.act == clear) line.clearMessage();
    EXPECT_EQ(line.text(), row.text);
    EXPECT_EQ(line.isVisible(), row.visible);
    EXPECT_EQ(line.showsError(), row.showsError);
    EXPECT_EQ(line.accessibleName(), row.accessibleName);
    if (row.visible) {
      // Dimmed from the window's colours, not a paler red.
      EXPECT_EQ(line.palette().color(QPalette::WindowText),
                row.showsError ? errorTextColor() : secondaryTextColor(window));
    }
  }
}

}  // namespace
}  // namespace vorlane
