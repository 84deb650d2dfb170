#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "ui/scene/part_motion.h"
#include "ui/scene/scene.h"
#include "ui/scene/settle_rate.h"

namespace vorlane {

// Steps a scene every 16 ms while something moves. It runs only while unpaused, stops
// itself after a frame in which no action ran, and starts again when an action is added.
// Small idle motions may ask for half the rate: actions advance by the time that passed, so
// they keep their length and poses, and each frame costs the same however little moved.
class FrameDriver : public QObject {
  Q_OBJECT

 public:
  static constexpr int fullRateInterval = 16;
  static constexpr int halfRateInterval = 33;

  explicit FrameDriver(Scene* scene, QObject* parent = nullptr);

  // Milliseconds between frames; a running driver keeps going at the new pace. Ends settling.
  void setInterval(int milliseconds);
  int interval() const { return timer_.interval(); }
  // For a small idle motion: 30 frames a second, 15 while every part barely drifts (see
  // SettleRate), 30 again from the first frame that moves more. Until `setInterval`.
  void settleIdleMotion();
  bool isSettling() const { return settling_; }

  // Runs at least one frame, unless paused. The first frame after a start is one frame long.
  void start();
  void stop();
  bool isRunning() const { return timer_.isActive(); }
  void setPaused(bool paused);
  bool isPaused() const { return paused_; }

 signals:
  void frameStepped();

 private:
  void frame();

  QPointer<Scene> scene_;
  QTimer timer_;
  QElapsedTimer clock_;
  bool paused_ = false;
  bool settling_ = false;
  SettleRate settleRate_;
  PartMotion motion_;
};

}  // namespace vorlane
