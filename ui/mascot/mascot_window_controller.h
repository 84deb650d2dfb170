#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QVector>

class QMenu;

#include "coordination/system_event_source.h"
#include "coordination/visit_presenter.h"
#include "core/desktop/idle_fidget.h"
#include "core/settings/preferences_store.h"
#include "foundation/random.h"
#include "ui/mascot/appearance_observer.h"
#include "ui/mascot/mascot_input.h"
#include "ui/mascot/mascot_scene.h"
#include "ui/mascot/mascot_view.h"
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
// (with a fidget now and then) or gone, as the user chose. The view renders only inside
// short animation windows; between them the frame driver is stopped and no timer but the
// fidget timer is armed. Main thread only.
//
// Every deferred block (visit end, animation windows, fidget timer, appearance changes)
// holds the controller weakly and does nothing once it is gone.
class MascotWindowController final : public QObject,
                                     public VisitPresenter,
                                     public MascotInputHandling {
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
    // Optional: the pointer in global (desktop) pixels; the real cursor when absent.
    std::function<QPoint()> pointerLocation;
    // Optional: whether a system tray shows the status menu; asked at every use, since a
    // tray may come and go. Without one click-through is never applied nor offered, and the
    // context menu carries the status menu, so the user cannot be locked out.
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
  bool isPerformingVisit() const override { return isPerformingVisit_; }
  bool performIfFree(const Visit& visit, Completion completion) override;
  void setBubbleVisible(bool visible) override { showBubble_ = visible; }
  bool abandonVisit(std::optional<Date> scheduledBefore) override;
  bool cutVisitShort(const UUID& visitID) override;
  // The user clicked the character: the visit climbs away early, then `onCharacterClicked`
  // runs after the visit's own completion. Nothing happens without a scene.
  void endVisitEarly();

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

  // --- pointer input (mascot_window_controller_pointer.cpp) ---
  // The window takes the pointer over the character and the pills while watching, outside
  // click-through; the pills come in while the pointer hovers.
  void startWatchingPointer();
  void stopWatchingPointer();
  // Drops a move or a pull in progress without saving anything.
  void cancelPointerGesture();
  // Recomputes hovering and transparency for a pointer in global pixels.
  void updateInteractivity(QPoint pointer);
  void resignInteractivity();
  void mouseDown(QPointF at, bool reposition) override;
  void mouseDragged(QPointF to) override;
  void mouseUp(QPointF at) override;
  void mouseMoved(QPointF to) override;
  QMenu* menu(QPointF at) override;
  Rect grabbableRect() const override;
  std::vector<Rect> clickableRects() const override;
  // Fills the status menu into the mascot's context menu when no tray shows it.
  std::function<void(QMenu&)> fillStatusMenu;

  bool isWatchingPointer() const { return isWatchingPointer_; }
  bool isHovering() const { return isHovering_; }
  bool ignoresMouseEvents() const { return ignoresMouseEvents_; }
  bool isMoving() const { return moving_.has_value(); }
  bool isInvitationPending() const { return invitationWork_->isPending(); }

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
  MascotWindow* window() const { return window_; }
  MascotView* view() const { return view_; }
  MascotScene* scene() const { return scene_; }
  FrameDriver* frameDriver() const { return driver_; }
  bool isFidgetScheduled() const { return fidgetTimer_->isPending(); }
  bool isAnimationWindowOpen() const { return settleWork_->isPending(); }
  std::optional<IdleFidget> lastFidget() const { return lastFidget_; }

 private:
  Preferences preferences() const { return preferencesStore_->preferences(); }
  // The store's announcement: a placement written by anyone moves the column. The display
  // and the presence come from the mascot's driver (setPreferredScreenID,
  // applyPresenceMode), which hears the same announcement.
  void preferencesChanged(const Preferences& now);
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
  // A visit, a hover, a pull or a move runs: the view keeps running and nothing fidgets.
  bool sceneIsBusy() const;
  // The fidget timer.
  void scheduleNextFidget();
  void startStretching();
  void stopStretching();
  // Where the window takes the pointer: the character and the live pills while watching,
  // the whole window during a move, nothing in click-through.
  void refreshLiveRects();
  // The stored preference, applied only where a tray offers the way back.
  bool effectiveClickThrough() const;
  QPointF toScenePoint(QPoint global) const;
  void refreshCursorRects();
  void endMove();
  // Ends a move and stores the placement it reached.
  void finishMove();
  void endPull(QPointF at);
  // The pill whose frame holds a scene point, shown or not.
  std::optional<QuickAction> pillAt(QPointF at) const;
  // The pointer is at `at`: the pill there is what the user sees under it, if pills show.
  void seePillsAt(QPointF at);
  // The pills were laid out again: one now under a pointer that did not move there is kept
  // from taking clicks for a double-click interval, so the second click of a double click
  // does not land on it.
  void quickActionsRebuilt();

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
  bool hasActiveSession_ = false;
  bool hasDisplayedCompletion_ = false;
  std::optional<PomodoroSession::Completion> displayedCompletion_;
  std::string displayedCompletionTime_;
  std::string displayedCompletionElapsed_;
  bool completionUsesReducedMotion_ = false;

  // Pointer state.
  struct Moving {
    QPoint origin;  // global pixels
    MascotPlacement initial;
    ScreenInfo screen;
    MascotPlacement current;
  };
  std::function<QPoint()> pointerLocation_;
  std::function<bool()> trayAvailable_;
  bool isWatchingPointer_ = false;
  bool isHovering_ = false;
  bool ignoresMouseEvents_ = true;
  std::optional<Moving> moving_;
  std::optional<QPointF> dragOrigin_;
  std::vector<Rect> previousCursorRects_;
  // Outside the live rectangles nothing arrives, so leaving through a gap is polled for.
  QTimer hoverPoll_;

  std::unique_ptr<DelayedWork> settleWork_;
  std::unique_ptr<DelayedWork> redrawWork_;
  std::unique_ptr<DelayedWork> fidgetTimer_;
  std::unique_ptr<DelayedWork> invitationWork_;
  std::unique_ptr<DelayedWork> pillGuard_;
  std::function<int()> doubleClickInterval_;
  // The pill the user last saw under the pointer.
  std::optional<QuickAction> pillSeenUnderPointer_;
  std::unique_ptr<AppearanceObserver> appearanceObserver_;
  std::unique_ptr<ScreenChangeWatcher> screenWatcher_;
  // The settings the mascot last acted on.
  Preferences applied_;
  Observers<Preferences>::Subscription preferencesSubscription_;
  std::vector<Observers<>::Subscription> systemSubscriptions_;

  // The overlays (mascot_window_controller_overlays.cpp).
  std::unique_ptr<CelebrationPresenter> celebration_;
  std::unique_ptr<FloatingClockController> floatingClock_;
  std::function<std::unique_ptr<FloatingClockController>(std::function<void()>)>
      makeFloatingClock_;
};

}  // namespace vorlane
