#include "ui/tray/status_menu_model.h"

#include <algorithm>
#include <cctype>

#include "core/focus/mute_duration.h"
#include "foundation/text.h"
#include "ui/kit/desktop_texts.h"
#include "ui/tray/status_window_rows.h"

namespace vorlane {
namespace {

using Entry = StatusMenuEntry;
using Kind = PomodoroSession::Kind;
using Phase = PomodoroSession::Phase;

Entry item(std::string title, StatusCommand command, bool available = true, StatusData data = {}) {
  Entry e;
  e.title = std::move(title);
  e.command = command;
  e.enabled = command != StatusCommand::none && available;
  e.data = std::move(data);
  return e;
}

// A window's own entry, as its row names it.
Entry windowItem(WindowKind kind) {
  const StatusWindowRow* row = statusWindowRow(kind);
  return item(std::string(row->title), row->command, true, row->kind);
}

// An entry that opens a window is enabled only while that window can be opened.
void disableMissingWindows(std::vector<Entry>& entries, const StatusSnapshot& s) {
  for (Entry& e : entries) {
    disableMissingWindows(e.children, s);
    const auto window = windowOpenedBy(e.command, e.data);
    if (window && !s.opens(*window)) e.enabled = false;
  }
}

Entry label(std::string title, std::string toolTip = {}) {
  Entry e = item(std::move(title), StatusCommand::none);
  e.toolTip = std::move(toolTip);
  return e;
}

Entry separator() {
  Entry e;
  e.kind = Entry::Kind::separator;
  return e;
}

Entry submenu(std::string title, std::vector<Entry> children) {
  Entry e;
  e.kind = Entry::Kind::submenu;
  e.title = std::move(title);
  e.enabled = true;
  e.children = std::move(children);
  return e;
}

// A reminder's phrase inside an entry's sentence.
std::string quotedText(const std::string& phrase) {
  return isolated(oneLine(phrase, menuTextLength));
}

// "for an hour" becomes "For an hour"; an empty text stays empty.
std::string capitalizedFirst(std::string_view text) {
  std::string result(text);
  if (!result.empty()) {
    result[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(result[0])));
  }
  return result;
}

void addSessionEntries(const StatusSnapshot& s, std::vector<Entry>& menu) {
  const PomodoroSession& session = s.session;
  const bool hasGoal = !session.focus().empty();
  if (hasGoal) menu.push_back(label(goalLine(session.focus()), session.focus()));

  const Phase& phase = session.phase();
  if (phase.is<Phase::Working>()) {
    menu.push_back(item("Pause session", StatusCommand::pauseSession));
    menu.push_back(item("Add 5 minutes", StatusCommand::extendSession));
    menu.push_back(item("Stop session", StatusCommand::cancelPomodoro));
  } else if (phase.is<Phase::AwaitingBreak>() && s.isStarterFocus) {
    menu.push_back(item("Keep going — 5 more minutes", StatusCommand::extendSession));
    menu.push_back(item("Done — mark accomplished", StatusCommand::markAccomplished));
    menu.push_back(item("Stop for now", StatusCommand::cancelPomodoro));
  } else if (phase.is<Phase::AwaitingBreak>()) {
    menu.push_back(item("Start break", StatusCommand::startBreak, true));
    menu.push_back(item("Continue focus for 5 more minutes", StatusCommand::extendSession));
    menu.push_back(item("New focus session...", StatusCommand::startPomodoro));
    if (hasGoal) menu.push_back(item("Mark accomplished", StatusCommand::markAccomplished));
    menu.push_back(item("Skip break", StatusCommand::skipBreak));
  } else if (phase.is<Phase::OnBreak>()) {
    menu.push_back(item("Pause break", StatusCommand::pauseSession));
    menu.push_back(item("Add 5 minutes", StatusCommand::extendSession));
    menu.push_back(item("End break", StatusCommand::skipBreak));
  } else if (const auto* paused = phase.as<Phase::Paused>()) {
    const bool focus = paused->kind == Kind::work;
    if (!s.nextStep.empty()) {
      menu.push_back(label("Next: " + isolated(graphemePrefix(s.nextStep, 65)), s.nextStep));
    }
    menu.push_back(item(focus ? "Resume focus" : "Resume break", StatusCommand::resumeSession));
    if (focus) {
      menu.push_back(windowItem(WindowKind::resumeNote));
    }
    menu.push_back(item("Add 5 minutes", StatusCommand::extendSession));
    menu.push_back(item(focus ? "Stop session" : "End break", StatusCommand::cancelPomodoro));
  } else {
    menu.push_back(session.completion() ? item("New focus session...", StatusCommand::startPomodoro)
                                        : windowItem(WindowKind::focusSessionEditor));
  }

  if (phase.kind()) {
    menu.push_back(item("New focus session...", StatusCommand::startPomodoro));
  }
  if (session.completedToday() > 0) {
    menu.push_back(item("Undo last completed session", StatusCommand::discardLastSession));
  }
}

Entry planAndReflect() {
  return submenu("Plan & reflect",
                 {windowItem(WindowKind::today), windowItem(WindowKind::focusHistory),
                  windowItem(WindowKind::weeklyReflection), separator(),
                  windowItem(WindowKind::calendarFocus)});
}

Entry mascotMenu(const StatusSnapshot& s) {
  const bool mascot = s.mascot;
  std::vector<Entry> children{
      label(mascotMenuHint),
      item("Move left", StatusCommand::moveMascot, mascot, 0.0),
      item("Move to center", StatusCommand::moveMascot, mascot, 0.5),
      item("Move right", StatusCommand::moveMascot, mascot, 1.0),
      item("Reset position", StatusCommand::resetMascot, mascot),
      separator(),
  };
  // Without a tray this menu lives on the mascot itself: a click-through mascot could not
  // be reached to turn it back.
  if (s.trayShown) {
    Entry clicks = item("Click-through mascot", StatusCommand::toggleMascotClicks, mascot);
    clicks.checkable = true;
    clicks.checked = s.clickThrough;
    children.push_back(clicks);
  }
  children.push_back(item("Appearance…", StatusCommand::openAppearance));
  return submenu("Mascot", std::move(children));
}

std::string writtenCount(const StatusSnapshot& s, std::size_t n) {
  return s.formatCount ? s.formatCount(n) : std::to_string(n);
}

std::size_t storedReminders(const StatusSnapshot& s) {
  return std::max(s.reminderCount, s.firstReminder + s.reminders.size());
}

std::vector<Entry> pageRows(const StatusSnapshot& s, std::size_t columnRows) {
  const std::size_t remaining = storedReminders(s) - std::min(storedReminders(s), s.firstReminder);
  // One reminder and the next page's row, however short the column: a page that held only
  // the next one would never reach a reminder.
  const std::size_t fits = std::max<std::size_t>(columnRows, 2);
  std::size_t shown = std::min(s.reminders.size(), menuReminderRows);
  if (remaining > shown || remaining > fits) shown = std::min(shown, fits - 1);
  std::vector<Entry> rows;
  rows.reserve(shown + 1);
  for (std::size_t i = 0; i < shown; ++i) {
    const auto& reminder = s.reminders[i];
    Entry row =
        submenu(reminderLine(reminder.phrase, reminder.schedule),
                {item("Edit...", StatusCommand::editReminder, true, reminder.id),
                 item("Delete reminder", StatusCommand::deleteReminder, true, reminder.id)});
    row.buildsOnOpen = true;
    rows.push_back(std::move(row));
  }
  if (const std::size_t more = remaining - std::min(remaining, shown); more > 0) {
    Entry next = submenu("More reminders (" + writtenCount(s, more) + ")", {});
    next.reminderPage = s.firstReminder + shown;
    // Read without its rows, the next page would be this one again.
    next.enabled = shown > 0;
    rows.push_back(std::move(next));
  }
  return rows;
}

Entry remindersMenu(const StatusSnapshot& s, std::size_t submenuRows) {
  return submenu("Reminders (" + writtenCount(s, storedReminders(s)) + ")",
                 pageRows(s, submenuRows));
}

Entry muteEntry(const StatusSnapshot& s) {
  const std::string hint = muteMenuToolTip;
  if (s.muted) {
    Entry e = item(s.muteExpiry ? "Unmute (quiet until " + *s.muteExpiry + ")" : "Unmute",
                   StatusCommand::unmute);
    e.toolTip = hint;
    return e;
  }
  std::vector<Entry> durations;
  for (const MuteDuration duration : allMuteDurations) {
    durations.push_back(item(capitalizedFirst(displayName(duration)), StatusCommand::muteFor, true,
                             std::string(rawValue(duration))));
  }
  Entry e = submenu("Mute", std::move(durations));
  e.toolTip = hint;
  return e;
}

}  // namespace

std::string goalLine(const std::string& goal) {
  if (graphemeCount(goal) >= 56) return "Focus: " + isolated(graphemePrefix(goal, 52) + "...");
  return "Focus: " + isolated(goal);
}

std::string reminderLine(const std::string& phrase, const std::string& schedule) {
  return isolated(oneLine(phrase, menuTextLength)) + " - " + schedule;
}

std::vector<StatusMenuEntry> reminderPage(const StatusSnapshot& s, std::size_t columnRows) {
  std::vector<Entry> rows = pageRows(s, columnRows);
  disableMissingWindows(rows, s);
  return rows;
}

std::vector<StatusMenuEntry> statusMenu(const StatusSnapshot& s, std::size_t submenuRows) {
  std::vector<Entry> menu;
  menu.push_back(label(s.nextVisit));
  if (const auto n = s.session.completedToday(); n > 0) {
    menu.push_back(label(std::to_string(n) + (n == 1 ? " session today" : " sessions today")));
  }
  menu.push_back(separator());
  menu.push_back(windowItem(WindowKind::quickCommand));
  menu.push_back(item("Vorlane now", StatusCommand::vorlaneNow, true));
  menu.push_back(item("Encourage me", StatusCommand::encourageNow));
  addSessionEntries(s, menu);
  menu.push_back(item("Just five minutes…", StatusCommand::fiveMinutes));
  menu.push_back(planAndReflect());
  menu.push_back(mascotMenu(s));
  if (s.recoveryNeedsAttention) {
    menu.push_back(item("Focus recovery needs attention…", StatusCommand::openWindow, true,
                        WindowKind::today));
  }
  if (s.focusHistoryError) {
    menu.push_back(label("Focus history needs attention", *s.focusHistoryError));
  }
  menu.push_back(separator());
  menu.push_back(windowItem(WindowKind::reminderEditor));
  if (s.lastAddedPhrase) {
    menu.push_back(
        item("Undo \"" + quotedText(*s.lastAddedPhrase) + "\"", StatusCommand::undoLastReminder));
  }
  if (s.lastFiredPhrase) {
    menu.push_back(item("Snooze \"" + quotedText(*s.lastFiredPhrase) + "\" 10 min",
                        StatusCommand::snoozeLastReminder));
  }
  if (!s.reminders.empty() || s.reminderCount > 0) menu.push_back(remindersMenu(s, submenuRows));
  menu.push_back(separator());
  menu.push_back(muteEntry(s));
  menu.push_back(separator());
  menu.push_back(windowItem(WindowKind::preferences));
  menu.push_back(windowItem(WindowKind::about));
  menu.push_back(item("Quit Vorlane", StatusCommand::quit, true));
  disableMissingWindows(menu, s);
  return menu;
}

}  // namespace vorlane
