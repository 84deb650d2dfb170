#include "ui/scene/frame_driver.h"

namespace vorlane {

static_assert(SettleRate::livelyInterval == FrameDriver::halfRateInterval);

FrameDriver::FrameDriver(Scene* scene, QObject* parent) : QObject(parent), scene_(scene) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(fullRateInterval);
  connect(&timer_, &QTimer::timeout, this, &FrameDriver::frame);
  if (scene != nullptr) connect(scene, &Scene::actionAdded, this, &FrameDriver::start);
}

void FrameDriver::start() {
  if (paused_ || timer_.isActive() || scene_.isNull()) return;
  if (settling_) settleIdleMotion();  // a new motion starts lively
  clock_.start();
  timer_.start();
}

void FrameDriver::stop() { timer_.stop(); }

void FrameDriver::setInterval(int milliseconds) {
  settling_ = false;
  if (timer_.interval() == milliseconds) return;
  // QTimer restarts a running timer on a new interval; the clock keeps the frame's length.
  timer_.setInterval(milliseconds);
}

void FrameDriver::settleIdleMotion() {
  settleRate_.reset();
  motion_.reset();
  timer_.setInterval(settleRate_.interval());
  settling_ = true;
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
  if (!moved) {
    stop();
    return;
  }
  if (settling_ && timer_.isActive() && !scene_.isNull() && !scene_->isTornDown()) {
    const int next = settleRate_.frame(dt, motion_.sample(*scene_));
    if (next != timer_.interval()) timer_.setInterval(next);
  }
}

}  // namespace vorlane
