#include "ui/overlays/floating_clock_controller.h"

#include <exception>

#include "foundation/short_time_formatter.h"
#include "platform/logging/log.h"
#include "ui/overlays/clock_placement.h"
#include "ui/overlays/minute_tick.h"

namespace vorlane {
namespace {

// A drag moves the window many times a second; the record is written once it settles.
constexpr double storeDelaySeconds = 0.3;

}  // namespace

FloatingClockController::FloatingClockController(RecordStore& recordStore, const Clock& clock,
                                                 TimeChangeNotifier& timeChanges,
                                                 std::function<void()> onHide,
                                                 std::function<Calendar()> calendar,
                                                 WorkFactory makeWork,
                                                 std::function<bool()> compositorPresent)
    : recordStore_(recordStore),
      clock_(clock),
      onHide_(std::move(onHide)),
      calendar_(std::move(calendar)),
      compositorPresent_(std::move(compositorPresent)),
      tick_(makeWork()),
      storeDelay_(makeWork()) {
  connect(&timeChanges, &TimeChangeNotifier::changed, this, &FloatingClockController::timeChanged);
}

FloatingClockController::~FloatingClockController() {
  tick_->cancel();
  if (pendingWrite_) writePosition();  // a drag just ended: keep where it ended
  if (panel_) panel_->deleteLater();
}

std::unique_ptr<DelayedWork> FloatingClockController::preciseWork() {
  // A coarse timer may be 3 s late at a minute; the text must change on the minute.
  return std::make_unique<TimerDelayedWork>(Qt::PreciseTimer);
}

void FloatingClockController::buildPanel() {
  panel_ = new FloatingClockPanel();
  QPointer<FloatingClockController> self(this);
  panel_->onResetPosition = [self] {
    if (self) self->resetPosition();
  };
  panel_->onHideClock = [self] {
    if (self) self->hideClock();
  };
  panel_->onMoved = [self](QPoint origin) {
    if (self) self->windowDidMove(origin);
  };
}

void FloatingClockController::show(const ScreenInfo& screen) {
  if (!panel_) buildPanel();
  const bool changed = screen.id != screenID_ || screen.availableGeometry != visibleFrame_;
  if (changed && pendingWrite_) writePosition();  // the old display's place, under its key
  screenID_ = screen.id;
  visibleFrame_ = screen.availableGeometry;
  const bool visible = panel_->isVisible();
  if (changed || !visible) restorePosition();
  refresh(clock_.now());
  if (!visible) {
    panel_->setRoundedMask(!compositorPresent_());
    panel_->orderFront();
  }
  scheduleTick();
}

void FloatingClockController::hide() {
  tick_->cancel();
  if (panel_) panel_->hide();
}

void FloatingClockController::hideClock() {
  hide();
  if (onHide_) onHide_();
}

void FloatingClockController::resetPosition() {
  const std::string key = clockPositionKey(screenID_);
  if (pendingWrite_ && pendingWrite_->first == key) {
    pendingWrite_.reset();
    storeDelay_->cancel();
  }
  if (!recordStore_.remove(key)) {
    Log::presentation().error("could not forget the clock position: %{public}s", key);
  }
  restorePosition();
}

void FloatingClockController::timeChanged() {
  if (!isShown()) return;
  refresh(clock_.now());
  scheduleTick();
}

void FloatingClockController::refresh(Date date) {
  const QString text = QString::fromStdString(ShortTimeFormatter(calendar_()).format(date));
  if (text == text_) return;
  text_ = text;
  panel_->setTimeText(text);
}

void FloatingClockController::scheduleTick() {
  tick_->cancel();
  QPointer<FloatingClockController> self(this);
  tick_->schedule(secondsToNextMinute(clock_.now()), [self] {
    if (!self || !self->isShown()) return;  // the ticking stops until the next show
    self->refresh(self->clock_.now());
    self->scheduleTick();
  });
}

void FloatingClockController::restorePosition() {
  if (!panel_) return;
  const auto stored = decodeClockFractions(recordStore_.data(clockPositionKey(screenID_)));
  moveTo(clockOrigin(stored, panel_->size(), visibleFrame_));
}

void FloatingClockController::moveTo(QPoint origin) {
  positioning_ = true;
  lastSetOrigin_ = origin;
  panel_->move(origin);
  positioning_ = false;
}

void FloatingClockController::windowDidMove(QPoint origin) {
  if (positioning_ || !panel_) return;
  if (lastSetOrigin_ == origin) return;
  lastSetOrigin_.reset();
  const QPoint clamped = clampedClockOrigin(origin, panel_->size(), visibleFrame_);
  if (clamped != origin) moveTo(clamped);
  pendingWrite_.emplace(clockPositionKey(screenID_), encodeClockFractions(clockFractions(
                                                         clamped, panel_->size(), visibleFrame_)));
  if (!storeDelay_->isPending()) {
    QPointer<FloatingClockController> self(this);
    storeDelay_->schedule(storeDelaySeconds, [self] {
      if (self) self->writePosition();
    });
  }
}

void FloatingClockController::writePosition() {
  storeDelay_->cancel();
  if (!pendingWrite_) return;
  const auto [key, bytes] = std::move(*pendingWrite_);
  pendingWrite_.reset();
  try {
    recordStore_.setData(key, bytes);
  } catch (const std::exception& e) {
    Log::presentation().error("could not store the clock position: %{public}s", e.what());
  }
}

}  // namespace vorlane
