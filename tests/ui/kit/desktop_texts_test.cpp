// The desktop's words: the same shortcut and drag names wherever they appear, and none of
// another platform's.
#include "ui/kit/desktop_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace vorlane {
namespace {

const struct {
  const char* name;
  const char* text;
} allTexts[] = {
    {"mute shortcut", muteShortcutName},
    {"quick command shortcut", quickCommandShortcutName},
    {"drag sentence", dragToMoveSentence},
    {"mascot menu hint", mascotMenuHint},
    {"mascot tool tip", mascotToolTip},
    {"desktop panel drag note", desktopPanelDragNote},
    {"quick actions menu title", quickActionsMenuTitle},
    {"mute menu tool tip", muteMenuToolTip},
    {"look for the climber", lookForTheClimber},
    {"right-click the monkey", rightClickTheMonkey},
    {"shortcut warning", shortcutUnavailableWarning},
    {"hidden part note", hiddenPartNote},
    {"click-through note", clickThroughNote},
    {"Today footer", todayFooterNote},
    {"history footer", historyFooterNote},
    {"focus editor hint", focusEditorHint},
    {"resume note", resumeNoteNote},
    {"reflection footer", reflectionFooterNote},
    {"privacy note", privacyNote},
    {"calendar permission off", calendarPermissionOff},
    {"calendar reads availability", calendarReadsOnlyAvailability},
    {"journal", journalNote},
    {"terminal log", terminalLogNote},
    {"standard error log", standardErrorLogNote},
};

TEST(DesktopTexts, NameNothingOfAnotherPlatform) {
  for (const auto& [name, text] : allTexts) {
    SCOPED_TRACE(name);
    const std::string s(text);
    for (const char* foreign : {"Mac", "macOS", "menu bar", "Option-", "System Settings", "Console",
                                "Dock", "\u2318", "\u2325", "\u2303"}) {
      EXPECT_EQ(s.find(foreign), std::string::npos) << foreign;
    }
  }
}

TEST(DesktopTexts, SentencesNamingAShortcutOrTheDragUseTheSharedWords) {
  const struct {
    const char* text;
    const char* part;
  } rows[] = {
      {quickActionsMenuTitle, quickCommandShortcutName},
      {muteMenuToolTip, muteShortcutName},
      {mascotToolTip, dragToMoveSentence},
      {desktopPanelDragNote, dragToMoveSentence},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_NE(std::string(row.text).find(row.part), std::string::npos);
  }
  EXPECT_EQ(std::string(mascotMenuHint).rfind("Ctrl-drag", 0), 0u);
}

}  // namespace
}  // namespace vorlane
