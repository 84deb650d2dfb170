#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "coordination/contracts/visit_presenter.h"

namespace vorlane {

// A mascot that behaves as the real one towards its driver: it takes one visit at a time,
// a refusal runs the completion before returning false, and an abandon runs the abandoned
// visit's completion before returning true. The test ends a visit with finishVisit().
class FakeVisitPresenter final : public VisitPresenter {
 public:
  struct SessionShown {
    std::optional<double> progress;
    std::optional<std::string> time;
    std::optional<std::string> caption;
  };
  struct ContextShown {
    int workMinutes;
    bool isMuted;
    std::vector<QuickAction> actions;
  };

  bool isPerformingVisit() const override { return current_.has_value(); }

  bool performIfFree(const Visit& visit, Completion completion) override {
    offered.push_back(visit);
    bubbleShownWith.push_back(bubbleVisible);
    if (current_) {
      ++refusals;
      if (completion) completion();
      return false;
    }
    current_ = visit;
    completion_ = std::move(completion);
    performed.push_back(visit);
    return true;
  }

  void setBubbleVisible(bool visible) override { bubbleVisible = visible; }

  bool abandonVisit(std::optional<Date> scheduledBefore) override {
    if (!current_ || (scheduledBefore && !(current_->scheduledFor < *scheduledBefore))) {
      return false;
    }
    finishVisit();
    return true;
  }

  // As the real mascot: the visit climbs away and stays in flight until finishVisit().
  bool cutVisitShort(const UUID& visitID) override {
    if (!current_ || current_->id != visitID) return false;
    cutShort.push_back(*current_);
    return true;
  }

  // Ends the visit on screen, as its climb away would; false when none is.
  bool finishVisit() {
    if (!current_) return false;
    current_.reset();
    auto completion = std::exchange(completion_, nullptr);
    if (completion) completion();
    return true;
  }

  // Frees the mascot without running the completion, as a lost report would.
  void forgetVisit() {
    current_.reset();
    completion_ = nullptr;
  }

  const std::optional<Visit>& currentVisit() const { return current_; }

  void showSession(std::optional<double> progress, std::optional<std::string> time,
                   std::optional<std::string> caption) override {
    sessions.push_back({progress, std::move(time), std::move(caption)});
  }
  void showCompletion(const std::optional<PomodoroSession::Completion>& completion,
                      const std::string& currentTime, const std::string& elapsedText,
                      bool) override {
    completions.push_back(completion);
    lastCompletionTime = currentTime;
    lastElapsedText = elapsedText;
  }
  bool remindAboutCompletion(bool reduceMotion) override {
    completionReminders.push_back(reduceMotion);
    return remindAnswer;
  }
  bool offerFocusInvitation(int minutes, bool) override {
    invitations.push_back(minutes);
    return invitationAnswer;
  }
  void dismissIdleFocusInvitation() override { ++invitationDismissals; }
  void updateContext(int workMinutes, bool isMuted,
                     const std::vector<QuickAction>& actions) override {
    contexts.push_back({workMinutes, isMuted, actions});
  }

  std::optional<std::string> preferredScreenID() const override { return screenID; }
  void setPreferredScreenID(std::optional<std::string> id) override { screenID = std::move(id); }
  void applyPresenceMode() override { ++presenceApplications; }
  void applyPlacement() override { ++placementApplications; }

  // Every visit offered, taken or refused, in order, with the bubble flag at that moment.
  std::vector<Visit> offered;
  std::vector<bool> bubbleShownWith;
  std::vector<Visit> performed;
  int refusals = 0;
  // Visits cut short, in order; each stays current until finishVisit().
  std::vector<Visit> cutShort;
  bool bubbleVisible = false;

  std::vector<SessionShown> sessions;
  std::vector<std::optional<PomodoroSession::Completion>> completions;
  std::string lastCompletionTime;
  std::string lastElapsedText;
  std::vector<bool> completionReminders;
  bool remindAnswer = true;
  std::vector<int> invitations;
  bool invitationAnswer = true;
  int invitationDismissals = 0;
  std::vector<ContextShown> contexts;
  std::optional<std::string> screenID;
  int presenceApplications = 0;
  int placementApplications = 0;

 private:
  std::optional<Visit> current_;
  Completion completion_;
};

}  // namespace vorlane
