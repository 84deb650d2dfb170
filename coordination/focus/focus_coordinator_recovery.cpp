// The focus checkpoint that survives a quit or a pause, and the next-step note.
#include <exception>
#include <string>
#include <utility>

#include "coordination/focus/focus_coordinator.h"
#include "core/focus/focus_input.h"
#include "platform/logging/log.h"

namespace vorlane {
namespace {

constexpr const char* recoverySaveFailed =
    "Your focus recovery could not be saved. Existing saved data was kept.";

}  // namespace

void FocusCoordinator::saveFocusForTermination() {
  // Only a running or paused focus has one; a break, a waiting completion or idle keep
  // whatever is stored.
  const auto suspension = pomodoro_.suspension(clock_->now());
  if (!suspension) return;
  try {
    recovery_->save(FocusCheckpoint{*suspension, nextStep_, isStarterFocus_, activePriorityID_});
    recoverySaveError_.reset();
  } catch (const std::exception& error) {
    // A refused save (unreadable data kept) and a failed write alike leave the old data.
    recoverySaveError_ = recoverySaveFailed;
    Log::pomodoro().error("focus checkpoint could not be saved: %{public}s", error.what());
  }
}

void FocusCoordinator::showResumeNote(bool returning) {
  const auto* paused = pomodoro_.phase().as<PomodoroSession::Phase::Paused>();
  if (!paused || paused->kind != PomodoroSession::Kind::work) return;
  const auto window = resumeNote_;
  if (!window) return;
  // A window left open from an earlier session must not change a newer one.
  const UUID sessionID = pomodoro_.sessionID();
  window->show(
      pomodoro_.focus(), nextStep_, returning, !recoverySaveError_,
      [weak = weak_from_this(), sessionID](const std::string& text) {
        const auto self = weak.lock();
        if (!self || self->pomodoro_.sessionID() != sessionID || !self->pomodoro_.isPaused()) {
          throw ActionError(ActionErrorCase::notPaused);
        }
        self->saveNextStep(text);
      },
      [weak = weak_from_this(), sessionID] {
        const auto self = weak.lock();
        if (self && self->pomodoro_.sessionID() == sessionID) self->resumeSession();
      });
}

void FocusCoordinator::saveNextStep(const std::string& text) {
  const auto suspension = pomodoro_.isPaused() ? pomodoro_.suspension(clock_->now()) : std::nullopt;
  if (!suspension) throw ActionError(ActionErrorCase::notPaused);
  std::string note = FocusInput::cleaned(text);
  // Counted on the very text that is stored.
  if (!FocusInput::fitsNextStep(note)) {
    throw RecoveryError(RecoveryErrorCase::noteTooLong);
  }
  recovery_->save(FocusCheckpoint{*suspension, note, isStarterFocus_, activePriorityID_});
  nextStep_ = std::move(note);
  recoverySaveError_.reset();
  updateSessionDisplay();
  stateChanged();
}

void FocusCoordinator::clearCheckpoint() {
  // Unreadable stored data stays until the user clears it.
  if (recovery_->document().errorMessage()) return;
  try {
    recovery_->clear();
  } catch (const std::exception&) {
    // The old checkpoint is still stored and would come back at the next launch.
    recoverySaveError_ = recoverySaveFailed;
  }
}

void FocusCoordinator::discardRecovery() {
  // Only the saved checkpoint goes; a running or paused session stays as it is.
  try {
    recovery_->clear();
    recoverySaveError_.reset();
  } catch (const std::exception& error) {
    // The file is still there. The open Today window drops its row after any discard; the
    // status menu's notice and the next Today window report the problem again.
    recoverySaveError_ = recoverySaveFailed;
    Log::pomodoro().error("focus recovery could not be cleared: %{public}s", error.what());
  }
  stateChanged();
}

std::optional<std::string> FocusCoordinator::recoveryError() const {
  if (const auto& loadError = recovery_->document().errorMessage()) return loadError;
  return recoverySaveError_;
}

void FocusCoordinator::closeResumeNote() {
  if (resumeNote_) resumeNote_->close();
}

}  // namespace vorlane
