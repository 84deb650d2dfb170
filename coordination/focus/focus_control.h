#pragma once

#include <optional>
#include <string>

#include "core/focus/pomodoro_session.h"
#include "foundation/uuid.h"

namespace vorlane {

// What the user does with the focus session, and what of it can be read, as the focus part
// offers it to the coordinator's callers. Main thread only.
class FocusControl {
 public:
  virtual ~FocusControl() = default;

  // Open the focus editor for a full focus or for the five-minute starter; nothing
  // changes until the user starts from it.
  virtual void requestNewPomodoro() = 0;
  virtual void requestFiveMinuteFocus() = 0;
  // Begins the break; offered only while a finished focus waits for it.
  virtual void startBreak() = 0;
  // The session commands below refuse, before anything changes, where the session's phase
  // gives them no effect (a menu row or pill built before the phase changed): ActionError
  // notPaused for a resume, noRunningSession for the others.
  //
  // Pause a running focus or break (a focus also asks for its next step); resume a paused
  // one, showing its note first when it has one.
  virtual void requestPauseSession() = 0;
  virtual void requestResumeSession() = 0;
  // Unguarded, doing nothing where they do not apply. A phase that has just run out ends
  // instead of pausing.
  virtual void pauseSession() = 0;
  virtual void resumeSession() = 0;
  // Lengthens the running or paused phase, or goes on with a focus that has just finished;
  // refused while idle, also with a finished break shown.
  virtual void extendSession(int minutes) = 0;
  // Ends the break (also a paused one) or the wait for it; refused in any other phase.
  virtual void skipBreak() = 0;
  // Back to idle with nothing kept: goal, note, linked priority, checkpoint, panel; refused
  // while idle with no finished period shown.
  virtual void cancelPomodoro() = 0;
  // Takes down a finished period that is waiting; nothing otherwise.
  virtual void dismissCompletion() = 0;
  // Records the finished named focus as accomplished (and its linked priority) and opens
  // the history; on a failure the session and its panel stay for another try.
  virtual void markFocusAccomplished() = 0;
  // Shows the celebration once when the mascot is free, bypassing queue and suppression.
  virtual void previewCelebration() = 0;
  // Uncounts the last finished session of the day.
  virtual void discardLastSession() = 0;
  // Starts a focus the user asked for; exactly five minutes makes the starter. Throws
  // ActionError activeSession while a period runs or is paused, invalidGoal for a goal
  // that is empty or over 120 characters once cleaned, or minutes outside 1...90.
  virtual void startRequestedFocus(int minutes, const std::string& goal) = 0;
  // Starts a focus on an open daily priority: five minutes as a starter, else the full
  // length, with the priority's title as the goal. Throws, before anything changes,
  // DailyPriorities::Error missing or alreadyDone, then what startRequestedFocus throws.
  virtual void startPriority(const UUID& id, bool starter) = 0;
  // Starts a focus of `minutes` in a free calendar gap, linked to the priority when one is
  // chosen; never a starter. Throws, before anything changes, ActionError activeSession,
  // then invalidGoal (goal, or minutes outside 5 to the full length), then the priority's
  // missing or alreadyDone.
  virtual void startCalendarFocus(int minutes, const std::string& goal,
                                  std::optional<UUID> priorityID) = 0;

  // Writes the checkpoint of a running or paused focus; a refused or failed write keeps
  // what was stored and sets recoverySaveError().
  virtual void saveFocusForTermination() = 0;
  // Opens the next-step window for a paused focus; nothing in any other phase.
  virtual void showResumeNote(bool returning) = 0;
  // Stores the cleaned note with the checkpoint. Throws ActionError notPaused without a
  // paused focus, RecoveryError noteTooLong over 240 characters, or the store's own
  // error; then nothing changed.
  virtual void saveNextStep(const std::string& text) = 0;
  // The text shown when the last checkpoint could not be written.
  virtual const std::optional<std::string>& recoverySaveError() const = 0;

  virtual const PomodoroSession& pomodoro() const = 0;
  virtual const std::string& nextStep() const = 0;
  virtual bool isStarterFocus() const = 0;
  virtual const std::optional<UUID>& activePriorityID() const = 0;
};

}  // namespace vorlane
