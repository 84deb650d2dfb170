#pragma once

#include <QPointF>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>

#include "foundation/random.h"
#include "ui/mascot_window/screen_info.h"
#include "ui/overlays/celebration_scene.h"
#include "ui/overlays/overlay_window.h"
#include "ui/scene/delayed_work.h"
#include "ui/scene/frame_driver.h"

class QGraphicsView;

namespace vorlane {

// Shows a celebration over a whole display in its own click-through window, and clears it
// 2.8 s later. Without a compositor it shows nothing: a translucent window over the display
// would paint it black.
class CelebrationPresenter {
 public:
  // `random` must outlive the presenter. `reduceMotion` is read at each celebration.
  // `compositorPresent` is asked at each celebration.
  CelebrationPresenter(RandomGenerator& random, std::function<bool()> reduceMotion,
                       std::unique_ptr<DelayedWork> teardown = std::make_unique<TimerDelayedWork>(),
                       std::function<bool()> compositorPresent = compositorRunning);
  ~CelebrationPresenter();
  CelebrationPresenter(const CelebrationPresenter&) = delete;
  CelebrationPresenter& operator=(const CelebrationPresenter&) = delete;

  // A celebration on `screen` centred on `origin`, a global point in Qt's coordinates
  // (normally the character's place on screen). Replaces one that still shows.
  void celebrate(const ScreenInfo& screen, QPointF origin, const CelebrationColors& colors);
  // Ends the celebration at once; harmless when none shows.
  void dismiss();

  bool isShowing() const { return window_ != nullptr; }
  OverlayWindow* window() const { return window_; }
  CelebrationScene* scene() const { return scene_; }
  bool isDismissalPending() const { return teardown_->isPending(); }

  // A global point (Qt, y down) as a point of the scene over `screenGeometry` (y up).
  static QPointF scenePoint(QPointF global, const QRect& screenGeometry);

 private:
  RandomGenerator& random_;
  std::function<bool()> reduceMotion_;
  std::unique_ptr<DelayedWork> teardown_;
  std::function<bool()> compositorPresent_;
  QPointer<OverlayWindow> window_;
  QPointer<QGraphicsView> view_;
  QPointer<CelebrationScene> scene_;
  QPointer<FrameDriver> driver_;
};

}  // namespace vorlane
