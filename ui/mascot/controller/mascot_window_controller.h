#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QMenu;

#include "coordination/contracts/visit_presenter.h"
#include "core/contracts/system_event_source.h"
#include "core/desktop/idle_fidget.h"
#include "core/settings/preferences_store.h"
#include "foundation/random.h"
#include "ui/mascot/controller/appearance_observer.h"
#include "ui/mascot/controller/mascot_pointer_host.h"
#include "ui/mascot/controller/mascot_pointer_input.h"
#include "ui/mascot/scene/mascot_scene.h"
#include "ui/mascot/scene/mascot_view.h"
#include "ui/mascot_window/mascot_window.h"
#include "ui/mascot_window/screen_change_watcher.h"
#include "ui/mascot_window/screen_info.h"
#include "ui/overlays/celebration_presenter.h"
#include "ui/overlays/floating_clock_controller.h"
#include "ui/scene/delayed_work.h"
#include "ui/scene/frame_driver.h"

namespace vorlane {

// The mascot as the rest of the application sees it: it owns the column window, the view
// and the scene, plays one visit at a time and, between visits, keeps the mascot peeking
// (with a fidget now and then) or gone, as the user chose; gone only while a tray offers
// the way to the menu (presenceBetweenVisits). The view renders only inside
// short animation windows; between them the frame driver is stopped and no timer but the
// fidget timer is armed. Main thread only.
//
// The display, the presence and the placement follow setPreferredScreenID,
// applyPresenceMode and applyPlacement, which the mascot's driver calls when a field each
// reads changes, whoever wrote it; the mascot itself only writes the settings.
//
// Every deferred block (visit end, animation windows, fidget timer, appearance changes)
// holds the controller weakly and does nothing once it is gone.
class MascotWindowController final : public QObject,
                                     public VisitPresenter,
                                     private MascotPointerHost {
 public:
  struct Dependencies {
    std::shared_ptr<PreferencesStore> preferencesStore;  // required
    std::shared_ptr<ScreenProvider> screens;             // required
    // Optional: false when absent. Asked at each fidget, so it should be cheap.
    std::function<bool()> prefersReducedMotion;
    // Optional: the system's generator when absent.
    std::shared_ptr<RandomGenerator> random;
    // Optional: makes each piece of delayed work (animation windows, redraw bursts, the
    // fidget timer); single-shot coarse timers of the event loop when absent.
    std::function<std::unique_ptr<DelayedWork>()> makeWork;
    // Follow display changes (added, removed, resized, work area).
    bool watchesScreens = true;
    // Optional: the pointer in global (desktop) pixels; the real cursor when absent.
    std::function<QPoint()> pointerLocation;
    // Optional: whether a system tray shows the status menu; asked at every use, since a
    // tray may come and go. Without one click-through is never applied nor offered, the
    // mascot stays on show between visits whatever the presence chosen, and the context menu
    // carries the status menu, so the user cannot be locked out.
    std::function<bool()> trayAvailable;
    // Optional: a wake or the session coming back lays the column out again, as a display
    // change does (the work area may have changed meanwhile).
    std::shared_ptr<SystemEventSource> systemEvents;
    // Optional: the desktop's double-click interval in milliseconds, asked at each use.
    std::function<int()> doubleClickInterval;
  };

  // Shows nothing: the first applyPresenceMode() or visit builds the window.
  // Throws std::invalid_argument when a required dependency is missing.
  explicit MascotWindowController(Dependencies dependencies);
  ~MascotWindowController() override;

  // --- visits ---
  bool isPerformingVisit() const override { return currentVisit_.has_value(); }
  bool performIfFree(const Visit& visit, Completion completion) override;
  void setBubbleVisible(bool visible) override { showBubble_ = visible; }
  bool abandonVisit(std::optional<Date> scheduledBefore) override;
  bool cutVisitShort(const UUID& visitID) override;
  // The user clicked the character: the visit climbs away early, then `onCharacterClicked`
  // runs after the visit's own completion. Nothing happens without a scene.
  void endVisitEarly() override;

  // --- session, completion, invitation and pills (mascot_window_controller_sessions.cpp) ---
  void showSession(std::optional<double> progress, std::optional<std::string> time,
                   std::optional<std::string> caption) override;
  void showCompletion(const std::optional<PomodoroSession::Completion>& completion,
                      const std::string& currentTime, const std::string& elapsedText,
                      bool reduceMotion) override;
  bool remindAboutCompletion(bool reduceMotion) override;
  // Withdrawn by itself after 6 seconds.
  bool offerFocusInvitation(int minutes, bool reduceMotion) override;
  void dismissIdleFocusInvitation() override;
  void updateContext(int workMinutes, bool isMuted,
                     const std::vector<QuickAction>& actions) override;

  // --- pointer input: the view's input, the live areas, hovering and the gestures ---
  MascotPointerInput& pointer() { return *pointer_; }
  const MascotPointerInput& pointer() const { return *pointer_; }
  // Fills the status menu into the mascot's context menu when no tray shows it.
  std::function<void(QMenu&)> fillStatusMenu;

  bool isInvitationPending() const { return invitationWork_->isPending(); }

  // --- display and placement ---
  std::optional<std::string> preferredScreenID() const override { return preferredScreenID_; }
  void setPreferredScreenID(std::optional<std::string> screenID) override {
    preferredScreenID_ = std::move(screenID);
  }
  // Stores the placement for the target display; the driver's applyPlacement lays the
  // column out again.
  void setPlacement(const MascotPlacement& placement);
  // Keeps the display's saved vertical fraction.
  void setHorizontalPlacement(double horizontal) override;
  void resetPlacement() override;
  // A display was added, removed or resized: the column follows.
  void screenParametersChanged();

  // --- presence ---
  void applyPresenceMode() override;
  // A tray came or went. Click-through and "Only during visits" apply only while a tray
  // offers the way back: each is lifted as the last tray goes, so the mascot's own menu can
  // be reached at once, and applied again as one comes; the stored preferences stay as they
  // are.
  void trayChanged();
  // How the mascot shows itself between visits now: the stored choice while a tray shows
  // the status menu; without one, peeking, since its right-click is then the only way to
  // the menu.
  PresenceMode presenceBetweenVisits() const;
  // A move in progress owns the column: the placement it writes at its end is where the
  // column already is.
  void applyPlacement() override;
  // One idle fidget now; none lets the controller choose.
  void fidgetNow(std::optional<IdleFidget> fidget);

  // --- celebration and floating clock (mascot_window_controller_overlays.cpp) ---
  struct Overlays {
    // Optional: one over the whole display; made on first use when absent.
    std::unique_ptr<CelebrationPresenter> celebration;
    // Optional: makes the clock on first use; `onHide` turns the setting off. No clock
    // shows without it.
    std::function<std::unique_ptr<FloatingClockController>(std::function<void()> onHide)>
        makeFloatingClock;
  };
  void attachOverlays(Overlays overlays);
  // A finished focus celebrates over the mascot's display, centred on the character, when
  // the user wants celebrations.
  void splash();
  // The floating clock on the mascot's display while `showCurrentTime` is on, else hidden.
  void configureClock();
  CelebrationPresenter* celebration() const { return celebration_.get(); }
  FloatingClockController* floatingClock() const { return floatingClock_.get(); }

  // --- what is on screen, for the application and tests; none while hidden ---
  MascotWindow* window() const override { return window_; }
  MascotView* view() const override { return view_; }
  MascotScene* scene() const override { return scene_; }
  FrameDriver* frameDriver() const override { return driver_; }
  bool isFidgetScheduled() const { return fidgetTimer_->isPending(); }
  bool isAnimationWindowOpen() const { return settleWork_->isPending(); }
  std::optional<IdleFidget> lastFidget() const { return lastFidget_; }

 private:
  Preferences preferences() const { return preferencesStore_->preferences(); }
  ScreenInfo targetScreen() const override;
  MascotPlacement savedPlacement(const ScreenInfo& screen) const override;
  void showWindow();
  void endVisit(std::uint64_t serial);
  void settleAfterVisit();

  // Scene lifetime (mascot_window_controller_presence.cpp).
  MascotScene& ensureScene();
  void buildScene(const ScreenInfo& screen, const MascotPlacement& placement);
  void teardownScene();
  // Animation windows: the view renders only inside one.
  void setAnimating(bool animating);
  void stir(double duration) override;
  void redrawStaticScene();
  // A finished-session panel is on show: the scene's to know, as it draws the panel.
  bool completionOnShow() const { return scene_ && scene_->hasSessionCompletion(); }

  // What pointer input asks of the mascot (MascotPointerHost).
  void keepAnimating() override;
  void holdStillForMove() override;
  void layOutColumn() override { ensureScene(); }
  void chooseQuickAction(QuickAction action) override;
  void pullDown() override;
  void addStatusMenu(QMenu& menu) override;
  // A visit, a hover, a pull or a move runs: the view keeps running and nothing fidgets.
  bool sceneIsBusy() const;
  // The fidget timer.
  void scheduleNextFidget();
  void startStretching();
  void stopStretching();

  std::shared_ptr<PreferencesStore> preferencesStore_;
  std::shared_ptr<ScreenProvider> screens_;
  std::function<bool()> prefersReducedMotion_;
  std::shared_ptr<RandomGenerator> random_;
  std::function<bool()> trayAvailable_;
  // The presence the last applyPresenceMode showed; none before the first.
  std::optional<PresenceMode> appliedPresence_;
  // Whether that presence was peeking for want of a tray, against the stored choice.
  bool presenceLifted_ = false;

  QPointer<MascotWindow> window_;
  QPointer<MascotView> view_;
  QPointer<MascotScene> scene_;
  QPointer<FrameDriver> driver_;

  std::optional<std::string> preferredScreenID_;
  // The visit in flight; none while the mascot is free.
  std::optional<Visit> currentVisit_;
  // Tells a late or repeated end of an earlier visit from the end of the current one.
  std::uint64_t visitSerial_ = 0;
  Completion visitCompletion_;
  bool showBubble_ = true;
  std::function<void()> afterVisit_;
  std::optional<IdleFidget> lastFidget_;
  bool hasActiveSession_ = false;
  // The last showCompletion's arguments, so that a repeat changes nothing; whether a panel
  // is on show is asked of the scene (completionOnShow).
  std::optional<PomodoroSession::Completion> displayedCompletion_;
  std::string displayedCompletionTime_;
  std::string displayedCompletionElapsed_;
  bool completionUsesReducedMotion_ = false;

  std::function<QPoint()> pointerLocation_;
  std::unique_ptr<DelayedWork> settleWork_;
  std::unique_ptr<DelayedWork> redrawWork_;
  std::unique_ptr<DelayedWork> fidgetTimer_;
  std::unique_ptr<DelayedWork> invitationWork_;
  std::unique_ptr<DelayedWork> fontWork_;
  std::unique_ptr<MascotPointerInput> pointer_;
  std::unique_ptr<AppearanceObserver> appearanceObserver_;
  std::unique_ptr<ScreenChangeWatcher> screenWatcher_;
  std::vector<Observers<>::Subscription> systemSubscriptions_;

  // The overlays (mascot_window_controller_overlays.cpp).
  std::unique_ptr<CelebrationPresenter> celebration_;
  std::unique_ptr<FloatingClockController> floatingClock_;
  std::function<std::unique_ptr<FloatingClockController>(std::function<void()>)> makeFloatingClock_;
};

}  // namespace vorlane
