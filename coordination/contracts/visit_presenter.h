#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "coordination/commands/quick_action.h"
#include "core/contracts/visit.h"
#include "core/focus/pomodoro_session.h"
#include "foundation/date.h"

namespace vorlane {

// The mascot as the coordinator drives it: the visit, session and invitation operations of
// the mascot window's controller. Main thread only.
//
// Re-entrancy the coordinator relies on: a refused `performIfFree` calls its completion
// once before returning false, and a successful `abandonVisit` calls the abandoned visit's
// completion before returning true.
class VisitPresenter {
 public:
  using Completion = std::function<void()>;

  VisitPresenter() = default;
  VisitPresenter(const VisitPresenter&) = delete;
  VisitPresenter& operator=(const VisitPresenter&) = delete;
  virtual ~VisitPresenter() = default;

  virtual bool isPerformingVisit() const = 0;
  // Starts the visit unless one is on screen; true when it started. The completion runs
  // once the visit has left the screen (or at once on refusal).
  virtual bool performIfFree(const Visit& visit, Completion completion) = 0;
  // Whether the next visit shows its speech bubble.
  virtual void setBubbleVisible(bool visible) = 0;
  // Ends the visit in flight at once when it was scheduled before `scheduledBefore` (any
  // visit when none); true when one was ended.
  virtual bool abandonVisit(std::optional<Date> scheduledBefore) = 0;
  // Ends the visit with that id early when it is the one on screen: its bubble goes and the
  // mascot climbs away, as after a click; the completion runs once it has left. True when
  // it was on screen.
  virtual bool cutVisitShort(const UUID& visitID) = 0;

  // Shows or updates the working pose with its billboard; no progress ends it.
  virtual void showSession(std::optional<double> progress, std::optional<std::string> time,
                           std::optional<std::string> caption) = 0;
  // Shows, updates or (with none) clears the finished-session panel.
  virtual void showCompletion(const std::optional<PomodoroSession::Completion>& completion,
                              const std::string& currentTime, const std::string& elapsedText,
                              bool reduceMotion) = 0;
  // Re-emphasises a completion still on show; true when it did.
  virtual bool remindAboutCompletion(bool reduceMotion) = 0;
  // Offers an idle focus on the billboard; true when shown.
  virtual bool offerFocusInvitation(int minutes, bool reduceMotion) = 0;
  virtual void dismissIdleFocusInvitation() = 0;
  // The work length, mute state and pills the scene offers.
  virtual void updateContext(int workMinutes, bool isMuted,
                             const std::vector<QuickAction>& actions) = 0;

  // The display the mascot lives on; none means the primary one.
  virtual std::optional<std::string> preferredScreenID() const = 0;
  virtual void setPreferredScreenID(std::optional<std::string> screenID) = 0;
  // Re-reads the presence mode and shows the mascot peeking or hides it.
  virtual void applyPresenceMode() = 0;
  // Re-reads the saved placements: the mascot moves to the one for its display.
  virtual void applyPlacement() = 0;

  // Reports from the mascot back to its owner; empty when nobody listens.
  std::function<void()> onCharacterClicked;
  std::function<void()> onPullDown;
  std::function<void(QuickAction)> onQuickAction;
};

}  // namespace vorlane
