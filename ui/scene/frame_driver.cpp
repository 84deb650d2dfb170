#include "ui/scene/frame_driver.h"

namespace vorlane {

FrameDriver::FrameDriver(Scene* scene, QObject* parent) : QObject(parent), scene_(scene) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(fullRateInterval);
  connect(&timer_, &QTimer::timeout, this, &FrameDriver::frame);
  if (scene != nullptr) connect(scene, &Scene::actionAdded, this, &FrameDriver::start);
}

void FrameDriver::start() {
  if (paused_ || timer_.isActive() || scene_.isNull()) return;
  clock_.start();
  timer_.start();
}

void FrameDriver::stop() { timer_.stop(); }

void FrameDriver::setInterval(int milliseconds) {
  if (timer_.interval() == milliseconds) return;
  // QTimer restarts a running timer on a new interval; the clock keeps the frame's length.
  timer_.setInterval(milliseconds);
}

void FrameDriver::setPaused(bool paused) {
  paused_ = paused;
  if (paused) {
    stop();
  } else {
    start();
  }
}

void FrameDriver::frame() {
  if (scene_.isNull() || scene_->isTornDown()) {
    stop();
    return;
  }
  const double dt = static_cast<double>(clock_.restart()) / 1000.0;
  const bool moved = scene_->step(dt);
  emit frameStepped();
  if (!moved) stop();
}

}  // namespace vorlane
