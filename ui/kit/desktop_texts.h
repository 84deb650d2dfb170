#pragma once

// The texts that name something of the desktop: its keys, its tray, its settings and this
// computer. Kept in one place so a window, the tray and the mascot say the same words.

namespace vorlane {

// The global hot keys as the user presses them.
inline constexpr char muteShortcutName[] = "Ctrl+Alt+Super+M";
inline constexpr char quickCommandShortcutName[] = "Ctrl+Alt+Space";

// Moving the monkey: Ctrl, since window managers often keep Alt-drag for themselves (Alt
// works too).
inline constexpr char dragToMoveSentence[] = "Ctrl-drag the monkey to move it.";
inline constexpr char mascotMenuHint[] = "Ctrl-drag to move \u00B7 Pull down for time";
inline constexpr char mascotToolTip[] =
    "Ctrl-drag the monkey to move it. Pull down to ask the time. Right-click for position and "
    "click-through controls.";
inline constexpr char desktopPanelDragNote[] =
    "Ctrl-drag the monkey to move it. A normal downward pull still asks the time.";

// The status menu.
inline constexpr char quickActionsMenuTitle[] = "Quick actions\u2026  Ctrl+Alt+Space";
inline constexpr char muteMenuToolTip[] = "Also Ctrl+Alt+Super+M";

// The system tray, and where the menu is without one.
inline constexpr char lookForTheClimber[] = "Look for the climber in your system tray.";
inline constexpr char rightClickTheMonkey[] = "Right-click the monkey for its menu.";
inline constexpr char shortcutUnavailableWarning[] =
    "The global shortcut is unavailable or in use. Quick actions still work from the system "
    "tray.";
inline constexpr char hiddenPartNote[] =
    "At 0%, that part is hidden and cannot take clicks. The system tray stays available.";
// Beside the presence choice while no tray is there: without one, the monkey's right-click
// is the only way to the menu, so it does not leave between visits.
inline constexpr char presenceWithoutTrayNote[] =
    "\u201COnly during visits\u201D applies once a system tray is there. Until then the monkey "
    "stays on show, so that its menu is a right-click away.";
inline constexpr char clickThroughNote[] =
    "Pass every click through the monkey, rope and banners. Session controls remain in the "
    "system tray. Turn this off to drag the monkey.";

// Where things are kept: this computer.
inline constexpr char todayFooterNote[] = "Only on this computer \u00B7 up to 200 saved priorities";
inline constexpr char historyFooterNote[] =
    "Saved only on this computer. Most recent 100 sessions.";
inline constexpr char focusEditorHint[] =
    "Give this session a small, clear goal. Your focus history stays on this computer.";
inline constexpr char resumeNoteNote[] =
    "Optional \u00B7 up to 240 characters \u00B7 saved only on this computer. Your timer stays "
    "paused until you resume.";
inline constexpr char reflectionFooterNote[] =
    "Only on this computer \u00B7 based on the last 100 named sessions and saved priorities";
inline constexpr char privacyNote[] =
    "Settings and records stay on this computer. Calendar access is optional and requested only "
    "when you enable calendar suggestions.";

// The calendar.
inline constexpr char calendarPermissionOff[] =
    "Calendar reading permission is off. You can change it in Settings, then enable suggestions "
    "again.";
inline constexpr char calendarReadsOnlyAvailability[] =
    "Vorlane can read your whole calendar, but it only reads availability. It never edits events, "
    "saves their details, or sends them anywhere.";

// Where the decisions are logged, by where this run's log goes.
inline constexpr char journalNote[] =
    "Scheduling and suppression decisions are logged to the system journal under "
    "com.corvantis.vorlane";
inline constexpr char terminalLogNote[] =
    "Scheduling and suppression decisions are logged to the terminal Vorlane was started from";
inline constexpr char standardErrorLogNote[] =
    "Scheduling and suppression decisions are logged to standard error (stderr)";

}  // namespace vorlane
