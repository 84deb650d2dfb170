#include "ui/tray/status_item_controller.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPalette>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <stdexcept>

#include "ui/tray/status_menu_builder.h"
#include "ui/kit/symbol_image.h"

namespace vorlane {
namespace {

constexpr qint64 trayRecheckMilliseconds = 30'000;

}  // namespace

QIcon StatusItemController::symbolIcon(const std::string& name) {
  QIcon icon;
  // Trays ask for 16 to 48 pixels; panels are light or dark, the palette's text follows.
  const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
  for (const int size : {16, 22, 24, 32, 48}) {
    const QPixmap pixmap = symbolImage(QString::fromStdString(name), size, ink, 1.0);
    if (!pixmap.isNull()) icon.addPixmap(pixmap);
  }
  return icon;
}

StatusItemController::StatusItemController(Dependencies d)
    : actions_(std::move(d.actions)),
      trayAvailable_(d.trayAvailable ? std::move(d.trayAvailable)
                                     : [] { return QSystemTrayIcon::isSystemTrayAvailable(); }),
      icon_(d.icon ? std::move(d.icon) : &StatusItemController::symbolIcon),
      menu_(std::make_unique<QMenu>()),
      tray_(std::make_unique<QSystemTrayIcon>()) {
  if (!actions_) throw std::invalid_argument("the status item needs its actions");
  menu_->setToolTipsVisible(true);
  connect(menu_.get(), &QMenu::aboutToShow, this, &StatusItemController::rebuildMenu);
  tray_->setContextMenu(menu_.get());
  // A left click opens the same menu: the item has nothing else to offer.
  connect(tray_.get(), &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger && !menu_->isVisible()) {
              rebuildMenu();
              menu_->popup(QCursor::pos());
            }
          });
  if (PreferencesStore* store = actions_->preferences()) {
    settings_ = store->changes().subscribe([this](const Preferences&) { settingsChanged(); });
  }
  refresh();  // the icon first: a tray shown without one is an error
  showTrayIfAvailable();
  rebuildMenu();  // hosts may read the menu before they first open it
  refresh();
}

StatusItemController::~StatusItemController() {
  // The tray refers to the menu: it goes first.
  tray_.reset();
  menu_.reset();
}

bool StatusItemController::isTrayShown() const { return tray_ && tray_->isVisible(); }

void StatusItemController::showTrayIfAvailable() {
  sinceTrayCheck_.start();
  if (tray_->isVisible() || !trayAvailable_()) return;
  tray_->show();
}

void StatusItemController::refresh() {
  button_ = statusButton(actions_->snapshot(isTrayShown()));
  if (displayedSymbol_ != button_.symbol) {
    displayedSymbol_ = button_.symbol;
    tray_->setIcon(icon_(button_.symbol));
    ++iconUpdates_;
  }
  // A tray shows no text beside its icon: the countdown goes on a second line of the tip.
  QString tip = QString::fromStdString(button_.toolTip);
  if (button_.showsTitle) tip += QLatin1Char('\n') + QString::fromStdString(button_.title);
  if (tip != toolTip_) {
    toolTip_ = tip;
    tray_->setToolTip(tip);
    ++toolTipUpdates_;
  }
  if (!tray_->isVisible() && sinceTrayCheck_.isValid() &&
      sinceTrayCheck_.elapsed() >= trayRecheckMilliseconds) {
    showTrayIfAvailable();
  }
}

void StatusItemController::fillMenu(QMenu& menu) {
  QPointer<StatusItemController> self(this);
  fillStatusMenu(menu, statusMenu(actions_->snapshot(isTrayShown())),
                 [self](StatusCommand command, const StatusData& data) {
                   if (self) self->run(command, data);
                 });
}

void StatusItemController::rebuildMenu() {
  clearStatusMenu(*menu_);
  fillMenu(*menu_);
}

void StatusItemController::settingsChanged() {
  // An open menu is rebuilt when it next opens; hosts that mirror a closed one read it now.
  if (!menu_->isVisible()) rebuildMenu();
  refresh();
}

void StatusItemController::run(StatusCommand command, const StatusData& data) {
  // Commands run once the menu has closed: a window opened from inside the menu's own
  // event handling would lose its focus to the closing menu.
  QPointer<StatusItemController> self(this);
  QTimer::singleShot(0, this, [self, command, data] {
    if (!self) return;
    self->actions_->run(command, data);
    self->refresh();
  });
}

}  // namespace vorlane
