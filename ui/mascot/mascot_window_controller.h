#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QVector>

#include "coordination/visit_presenter.h"
#include "core/desktop/idle_fidget.h"
#include "core/settings/preferences_store.h"
#include "foundation/random.h"
#include "ui/mascot/appearance_observer.h"
#include "ui/mascot/mascot_scene.h"
#include "ui/mascot/mascot_view.h"
#include "ui/scene/delayed_work.h"
#include "ui/scene/frame_driver.h"
#include "ui/window/mascot_window.h"
#include "ui/window/screen_change_watcher.h"
#include "ui/window/screen_info.h"

namespace vorlane {

// The mascot as the rest of the application sees it: it owns the column window, the view
// and the scene, plays one visit at a time and, between visits, keeps the mascot peeking
// (with a fidget now and then) or gone, as the user chose. The view renders only inside
// short animation windows; between them the frame driver is stopped and no timer but the
// fidget timer is armed. Main thread only.
//
// Every deferred block (visit end, animation windows, fidget timer, appearance changes)
// holds the controller weakly and does nothing once it is gone.
class MascotWindowController final : public QObject, public VisitPresenter {
 public:
  struct Dependencies {
    std::shared_ptr<PreferencesStore> preferencesStore;  // required
    std::shared_ptr<ScreenProvider> screens;              // required
    // Optional: false when absent. Asked at each fidget, so it should be cheap.
    std::function<bool()> prefersReducedMotion;
    // Optional: the system's generator when absent.
    std::shared_ptr<RandomGenerator> random;
    // Optional: makes each piece of delayed work (animation windows, redraw bursts, the
    // fidget timer); single-shot coarse timers of the event loop when absent.
    std::function<std::unique_ptr<DelayedWork>()> makeWork;
    // Follow display changes (added, removed, resized, work area).
    bool watchesScreens = true;
  };

  // Shows nothing: the first applyPresenceMode() or visit builds the window.
  // Throws std::invalid_argument when a required dependency is missing.
  explicit MascotWindowController(Dependencies dependencies);
  ~MascotWindowController() override;

  // --- visits ---
  bool isPerformingVisit() const override { return isPerformingVisit_; }
  bool performIfFree(const Visit& visit, Completion completion) override;
  void setBubbleVisible(bool visible) override { showBubble_ = visible; }
  bool abandonVisit(std::optional<Date> scheduledBefore) override;
  // The user clicked the character: the visit climbs away early, then `onCharacterClicked`
  // runs after the visit's own completion. Nothing happens without a scene.
  void endVisitEarly();

  // --- session, completion, invitation and pills: not shown by this mascot yet ---
  // Each does nothing and shows nothing; they return false where a result is asked for.
  void showSession(std::optional<double> progress, std::optional<std::string> time,
                   std::optional<std::string> caption) override;
  void showCompletion(const std::optional<PomodoroSession::Completion>& completion,
                      const std::string& currentTime, const std::string& elapsedText,
                      bool reduceMotion) override;
  bool remindAboutCompletion(bool reduceMotion) override;
  bool offerFocusInvitation(int minutes, bool reduceMotion) override;
  void dismissIdleFocusInvitation() override;
  void updateContext(int workMinutes, bool isMuted,
                     const std::vector<QuickAction>& actions) override;

  // --- display and placement ---
  std::optional<std::string> preferredScreenID() const override { return preferredScreenID_; }
  void setPreferredScreenID(std::optional<std::string> screenID) override {
    preferredScreenID_ = std::move(screenID);
  }
  // Stores the placement for the target display and lays the column out again.
  void setPlacement(const MascotPlacement& placement);
  // Keeps the display's saved vertical fraction.
  void setHorizontalPlacement(double horizontal);
  void resetPlacement();
  // A display was added, removed or resized: the column follows.
  void screenParametersChanged();

  // --- presence ---
  void applyPresenceMode() override;
  // One idle fidget now; none lets the controller choose.
  void fidgetNow(std::optional<IdleFidget> fidget);

  // --- what is on screen, for the application and tests; none while hidden ---
  MascotWindow* window() const { return window_; }
  MascotView* view() const { return view_; }
  MascotScene* scene() const { return scene_; }
  FrameDriver* frameDriver() const { return driver_; }
  bool isFidgetScheduled() const { return fidgetTimer_->isPending(); }
  bool isAnimationWindowOpen() const { return settleWork_->isPending(); }
  std::optional<IdleFidget> lastFidget() const { return lastFidget_; }

 private:
  Preferences preferences() const { return preferencesStore_->preferences(); }
  ScreenInfo targetScreen() const;
  MascotPlacement savedPlacement(const ScreenInfo& screen) const;
  void showWindow();
  void endVisit(std::uint64_t serial);
  void settleAfterVisit();

  // Scene lifetime (mascot_window_controller_presence.cpp).
  MascotScene& ensureScene();
  void buildScene(const ScreenInfo& screen, const MascotPlacement& placement);
  void teardownScene();
  // Animation windows: the view renders only inside one.
  void setAnimating(bool animating);
  void stir(double duration);
  void redrawStaticScene();
  bool sceneIsBusy() const;
  // The fidget timer.
  void scheduleNextFidget();
  void startStretching();
  void stopStretching();
  // Where the window takes the pointer: over the visible character, unless click-through.
  void refreshLiveRects();

  std::shared_ptr<PreferencesStore> preferencesStore_;
  std::shared_ptr<ScreenProvider> screens_;
  std::function<bool()> prefersReducedMotion_;
  std::shared_ptr<RandomGenerator> random_;

  QPointer<MascotWindow> window_;
  QPointer<MascotView> view_;
  QPointer<MascotScene> scene_;
  QPointer<FrameDriver> driver_;
  QVector<QRect> liveRects_;
  bool clickThrough_ = false;

  std::optional<std::string> preferredScreenID_;
  bool isPerformingVisit_ = false;
  std::optional<Visit> currentVisit_;
  // Tells a late or repeated end of an earlier visit from the end of the current one.
  std::uint64_t visitSerial_ = 0;
  Completion visitCompletion_;
  bool showBubble_ = true;
  std::function<void()> afterVisit_;
  std::optional<IdleFidget> lastFidget_;
  // What the session display will set; nothing sets them yet.
  bool hasActiveSession_ = false;
  bool hasDisplayedCompletion_ = false;

  std::unique_ptr<DelayedWork> settleWork_;
  std::unique_ptr<DelayedWork> redrawWork_;
  std::unique_ptr<DelayedWork> fidgetTimer_;
  std::unique_ptr<AppearanceObserver> appearanceObserver_;
  std::unique_ptr<ScreenChangeWatcher> screenWatcher_;
};

}  // namespace vorlane
