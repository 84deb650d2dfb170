// Quick-action pills, typed commands and the visit on demand.
#include <utility>

#include "coordination/session_quick_actions.h"
#include "coordination/visit_coordinator.h"
#include "core/visits/phrase_formatter.h"

namespace vorlane {

std::vector<QuickAction> VisitCoordinator::availableQuickActions() const {
  return quickActionsFor(pomodoro_, isStarterFocus_, isMuted(clock_->now()));
}

void VisitCoordinator::refreshQuickActions() {
  const int workMinutes =
      static_cast<int>(effectiveWorkMinutes(preferencesStore_->preferences()));
  presenter_->updateContext(workMinutes, isMuted(clock_->now()), availableQuickActions());
}

void VisitCoordinator::vorlaneNow() {
  const Date now = clock_->now();
  const Preferences preferences = preferencesStore_->preferences();
  const PhraseFormatter formatter(preferences.phraseTemplate, calendar());
  const Visit visit{UUID::random(),           Visit::Kind::manual(),
                    now,                      formatter.phrase(now),
                    formatter.bubbleText(now), true,
                    Visit::BubbleStyle::headline, Choreography::standard(),
                    true};
  presenter_->setBubbleVisible(true);
  // Held visits wait for the next tick; this one only reports that it has gone.
  const bool taken = presenter_->performIfFree(visit, [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->signalStateChanged();
  });
  if (!taken) return;
  speech_->speak(visit.spokenPhrase, now, nullptr);
}

void VisitCoordinator::wireUserInput() {
  presenter_->onPullDown = [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->vorlaneNow();
  };
  if (!hotKeys_) return;
  hotKey_ = hotKeys_->registerHotKey(muteHotKey, [weak = weak_from_this()] {
    if (const auto self = weak.lock()) self->toggleMute();
  });
}

}  // namespace vorlane
