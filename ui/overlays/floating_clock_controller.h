#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/contracts/clock.h"
#include "foundation/calendar.h"
#include "platform/persistence/record_store.h"
#include "ui/mascot_window/screen_info.h"
#include "ui/overlays/floating_clock_panel.h"
#include "ui/overlays/time_change_notifier.h"
#include "ui/scene/delayed_work.h"

namespace vorlane {

// The floating clock: the current time in a small panel on one display, above ordinary
// windows and on every workspace. The user drags it anywhere on the display; its place is
// remembered per display. It ticks once a minute, on the minute, and at once when the
// system clock is set or the time zone changes.
class FloatingClockController final : public QObject {
  Q_OBJECT

 public:
  using WorkFactory = std::function<std::unique_ptr<DelayedWork>()>;

  // `onHide` runs after the user hides the clock from its own menu (the owner turns the
  // preference off). Store, clock and notifier must outlive the controller. `calendar` gives
  // the zone and locale of the text, asked at each refresh.
  FloatingClockController(RecordStore& recordStore, const Clock& clock,
                          TimeChangeNotifier& timeChanges, std::function<void()> onHide,
                          std::function<Calendar()> calendar = &Calendar::current,
                          WorkFactory makeWork = preciseWork,
                          std::function<bool()> compositorPresent = compositorRunning);
  ~FloatingClockController() override;

  // Shows the clock on that display, building the panel on first use. Moving to another
  // display, or a changed work area, restores that display's own place.
  void show(const ScreenInfo& screen);
  // Stops the tick and hides the panel, which is kept.
  void hide();
  // Forgets the current display's place and moves to the default one.
  void resetPosition();
  // "Hide clock": hides, then tells the owner.
  void hideClock();
  // The clock was set or the zone changed: the text follows at once.
  void timeChanged();

  FloatingClockPanel* panel() const { return panel_; }
  bool isShown() const { return panel_ != nullptr && panel_->isVisible(); }
  const QString& text() const { return text_; }
  bool isTicking() const { return tick_->isPending(); }
  const std::string& screenID() const { return screenID_; }

  static std::unique_ptr<DelayedWork> preciseWork();

 private:
  void buildPanel();
  void refresh(Date date);
  void scheduleTick();
  void restorePosition();
  void moveTo(QPoint origin);
  void windowDidMove(QPoint origin);
  void writePosition();

  RecordStore& recordStore_;
  const Clock& clock_;
  std::function<void()> onHide_;
  std::function<Calendar()> calendar_;
  std::function<bool()> compositorPresent_;
  std::unique_ptr<DelayedWork> tick_;
  std::unique_ptr<DelayedWork> storeDelay_;
  QPointer<FloatingClockPanel> panel_;
  QString text_;
  std::string screenID_;
  QRect visibleFrame_;
  bool positioning_ = false;
  // The window system echoes our own moves after the fact: those are not the user's.
  std::optional<QPoint> lastSetOrigin_;
  // A place waiting to be written: the key it belongs to and its record.
  std::optional<std::pair<std::string, std::string>> pendingWrite_;
};

}  // namespace vorlane
