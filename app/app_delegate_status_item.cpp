// The status item and the mascot's overlays: the last pieces the launch builds.

#include <QCoreApplication>

#include "app/app_delegate.h"
#include "app/coordinator_status_source.h"
#include "ui/mascot/controller/mascot_window_controller.h"
#include "ui/tray/x11_tray_ink.h"

namespace vorlane {
void AppDelegate::attachOverlays() {
  const auto mascot = mascot_.lock();
  if (!mascot) return;
  if (!timeChanges_) timeChanges_ = std::make_unique<SystemTimeChangeNotifier>();
  mascot->attachOverlays({
      .celebration = nullptr,
      .makeFloatingClock =
          [records = &services_.records(), clock = services_.clock(),
           notifier = timeChanges_.get()](std::function<void()> onHide) {
            return std::make_unique<FloatingClockController>(*records, *clock, *notifier,
                                                             std::move(onHide));
          },
  });
}

void AppDelegate::makeStatusItem() {
  const QPointer<AppDelegate> self(this);
  const std::weak_ptr<MascotWindowController> mascot = mascot_;
  StatusItemHooks hooks;
  if (!mascot.expired()) {
    hooks.moveMascot = [mascot](double horizontal) {
      if (const auto m = mascot.lock()) m->setHorizontalPlacement(horizontal);
    };
    hooks.resetMascot = [mascot] {
      if (const auto m = mascot.lock()) m->resetPlacement();
    };
  }
  // Only registered windows get an entry that opens them.
  if (windows().has(WindowKind::about)) {
    hooks.openWindow[WindowKind::about] = [self] {
      if (self) self->showAbout();
    };
  }
  if (windows().has(WindowKind::preferences)) {
    hooks.openWindow[WindowKind::preferences] = [self] {
      if (self) self->showPreferences();
    };
    hooks.openAppearance = [self] {
      if (self) self->showPreferences(PreferencesSection::appearance);
    };
  }
  hooks.quit = [] { QCoreApplication::quit(); };
  // A menu command has no window of its own: its failure comes as the coordinator's own
  // silent notifications do.
  hooks.reportFailure = [notifications = notifications_](const std::string& sentence) {
    if (notifications) notifications->postSilent("Vorlane", sentence);
  };
  statusItem_ = std::make_unique<StatusItemController>(StatusItemController::Dependencies{
      .actions = std::make_shared<StatusItemActions>(
          std::make_shared<CoordinatorStatusSource>(coordinator_), preferencesStore_,
          std::move(hooks), windows().shell.get<ReminderEditorWindow>()),
      .trayAvailable = services_.trayAvailable(),
      .followTray =
          [services = &services_](std::function<void()> changed) {
            return services->followTray(std::move(changed));
          },
      .trays = services_.trayKinds(),
      .icon = nullptr,
      .ink = x11TrayInkSource(),
  });
  coordinator_->onStateChanged = [self] {
    if (self && self->statusItem_) self->statusItem_->refresh();
  };
  // Without a tray the mascot's own context menu carries the status menu.
  if (const auto m = mascot.lock()) {
    m->fillStatusMenu = [self](QMenu& menu) {
      if (self && self->statusItem()) self->statusItem()->fillMenu(menu);
    };
    mascotTray_ = services_.followTray([mascot] {
      if (const auto m = mascot.lock()) m->trayChanged();
    });
  }
}

}  // namespace vorlane
