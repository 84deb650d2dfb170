#include "ui/tray/status_item_controller.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPalette>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <stdexcept>

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/tray/x11_tray_look.h"
#include "platform/logging/log.h"
#include "ui/kit/menu_column.h"
#include "ui/tray/tray_symbol_icon.h"
#include "ui/tray/xembed_tray_icon.h"

namespace vorlane {
namespace {

constexpr qint64 trayRecheckMilliseconds = 30'000;
// A look at the panel again after it was first read since it showed again: a window that
// left it may still be on the screen a moment on a slow machine.
constexpr int inkConfirmMilliseconds = 2'000;

}  // namespace

QIcon StatusItemController::symbolIcon(const std::string& name, const QColor& ink) {
  return traySymbolIcon(name, ink);
}

StatusItemController::StatusItemController(Dependencies d)
    : actions_(std::move(d.actions)),
      trayAvailable_(d.trayAvailable ? std::move(d.trayAvailable)
                                     : [] { return QSystemTrayIcon::isSystemTrayAvailable(); }),
      trays_(std::move(d.trays)),
      icon_(d.icon ? std::move(d.icon) : &StatusItemController::symbolIcon),
      inkSource_(std::move(d.ink)),
      menu_(std::make_unique<QMenu>()) {
  if (!actions_) throw std::invalid_argument("the status item needs its actions");
  menu_->setToolTipsVisible(true);
  trayRows_.menu = menu_.get();
  connect(menu_.get(), &QMenu::aboutToShow, this, [this] {
    rebuildMenu();
    trayMenuOpen_ = true;
  });
  connect(menu_.get(), &QMenu::aboutToHide, this, [this] { trayMenuOpen_ = false; });
  if (PreferencesStore* store = actions_->preferences()) {
    settings_ =
        store->follow(PreferenceFields(&PreferenceValues::mascotClickThrough),
                      [this](const Preferences&, const Preferences&) { settingsChanged(); });
  }
  if (d.followTray) traySubscription_ = d.followTray([this] { trayChanged(); });
  refresh();  // the icon first: a tray shown without one is an error
  showTrayIfAvailable();
  rebuildMenu();  // hosts may read the menu before they first open it
  refresh();
}

StatusItemController::~StatusItemController() {
  // The tray refers to the menu: it goes first.
  removeIcon();
  menu_.reset();
}

bool StatusItemController::isTrayShown() const {
  if (trays_) {
    const TrayKinds there = trays_();
    return (home_ == IconHome::qt && tray_ && there.statusNotifier) ||
           (home_ == IconHome::xembed && xembedIcon_ && there.xembed);
  }
  // Qt keeps an icon shown while its tray is gone and docks it again when one comes back.
  return tray_ && tray_->isVisible() && trayAvailable_();
}

QRect StatusItemController::trayGeometry() const {
  if (!isTrayShown()) return {};
  if (xembedIcon_) return xembedIcon_->placement();
  return tray_ ? tray_->geometry() : QRect();
}

void StatusItemController::makeTray() {
  home_ = IconHome::qt;
  tray_ = std::make_unique<QSystemTrayIcon>();
  tray_->setIcon(drawnIcon_);
  tray_->setToolTip(toolTip_);
  tray_->setContextMenu(menu_.get());
  // A left click opens the same menu: the item has nothing else to offer.
  connect(tray_.get(), &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) popUpMenu(QCursor::pos());
          });
}

void StatusItemController::popUpMenu(QPoint at) {
  if (menu_->isVisible()) return;
  rebuildMenu();
  menu_->popup(at);
}

bool StatusItemController::dockXEmbedIcon() {
  xcb_connection_t* connection = SystemEnvironment::qtConnection();
  if (connection == nullptr) return false;
  auto icon = std::make_unique<XEmbedTrayIcon>(connection, displayScreenNumber());
  icon->setIcon(drawnIcon_);
  icon->setToolTip(toolTip_);
  // Either button opens the menu: the item has nothing else to offer.
  icon->pressed = [this](Qt::MouseButton button, QPoint at) {
    if (button == Qt::LeftButton || button == Qt::RightButton) popUpMenu(at);
  };
  if (!icon->dock()) return false;
  xembedIcon_ = std::move(icon);
  home_ = IconHome::xembed;
  return true;
}

void StatusItemController::removeIcon() {
  tray_.reset();
  xembedIcon_.reset();
  home_ = IconHome::none;
}

void StatusItemController::placeIcon() {
  const TrayKinds there = trays_();
  const IconHome wanted =
      there.statusNotifier ? IconHome::qt : (there.xembed ? IconHome::xembed : IconHome::none);
  if (wanted == home_) return;
  const IconHome before = home_;
  removeIcon();
  // Qt's icon goes to a StatusNotifier host: made only while one is there, Qt picks that
  // kind for it, and for every icon after it.
  if (wanted == IconHome::qt) {
    makeTray();
    tray_->show();
  } else if (wanted == IconHome::xembed && !dockXEmbedIcon()) {
    Log::presentation().error("status item: the XEmbed tray did not take the icon");
  }
  if (home_ == IconHome::none) {
    if (before != IconHome::none) Log::presentation().info("status item hidden: no tray");
    return;
  }
  if (before == IconHome::none) {
    Log::presentation().info("status item shown in the tray");
  } else {
    Log::presentation().info("status item moved to %{public}s",
                             home_ == IconHome::qt ? "the StatusNotifier host" : "the XEmbed tray");
  }
  for (const int delay : {500, 2000}) QTimer::singleShot(delay, this, [this] { recheckInk(); });
}

void StatusItemController::showTrayIfAvailable() {
  sinceTrayCheck_.start();
  if (trays_) {
    placeIcon();
    return;
  }
  if ((tray_ && tray_->isVisible()) || !trayAvailable_()) return;
  if (!tray_) makeTray();
  tray_->show();
  Log::presentation().info("status item shown in the tray");
  // An XEmbed tray places the icon a moment later, which Qt does not announce: look again
  // then, for the ink that suits the panel it landed on.
  for (const int delay : {500, 2000}) QTimer::singleShot(delay, this, [this] { recheckInk(); });
}

QColor StatusItemController::currentInk() {
  const QColor palette = QGuiApplication::palette().color(QPalette::WindowText);
  if (!inkSource_) return palette;
  // Reading the tray's colours is a round trip to the X server: only when the icon moved,
  // or now and then, as a panel's theme may change.
  const QRect area = trayGeometry();
  if (!ink_.isValid() || area != inkArea_ || !sinceInkCheck_.isValid() ||
      sinceInkCheck_.elapsed() >= trayRecheckMilliseconds) {
    inkArea_ = area;
    // Read while a window of ours hid the panel, the icon's own copy of the panel under it may
    // be that window: the icon shows the panel again, where it can, before it is looked at.
    if (panelHidden_ && xembedIcon_) xembedIcon_->readPanelAgain();
    const QPointer<StatusItemController> self(this);
    const std::optional<QColor> read = inkSource_(area, [self] {
      if (self) self->recheckInk();
    });
    if (!read) {
      // The panel is hidden from view: the ink stays until the source says it may show.
      sinceInkCheck_.invalidate();
      if (!panelHidden_) Log::presentation().info("status item ink kept: the panel is hidden");
      panelHidden_ = true;
      return ink_.isValid() ? ink_ : palette;
    }
    if (panelHidden_) {
      panelHidden_ = false;
      QTimer::singleShot(inkConfirmMilliseconds, this, [this] { recheckInk(); });
    }
    ink_ = read->isValid() ? *read : palette;
    sinceInkCheck_.start();
  }
  return ink_;
}

void StatusItemController::trayChanged() {
  showTrayIfAvailable();
  // The menu offers click-through only with a tray; hosts that mirror a closed one read it now.
  if (!menu_->isVisible()) rebuildMenu();
  refresh();
}

void StatusItemController::recheckInk() {
  sinceInkCheck_.invalidate();
  refresh();
}

void StatusItemController::refresh() {
  button_ = statusButton(actions_->snapshot(isTrayShown(), StatusReading::icon));
  const QColor ink = currentInk();
  if (displayedSymbol_ != button_.symbol || displayedInk_ != ink) {
    if (displayedInk_ != ink) {
      Log::presentation().info("status item ink %{public}s", ink.name().toStdString());
    }
    displayedSymbol_ = button_.symbol;
    displayedInk_ = ink;
    // Drawn even before there is a tray, for the icon made when one comes.
    drawnIcon_ = icon_(button_.symbol, ink);
    if (tray_) tray_->setIcon(drawnIcon_);
    if (xembedIcon_) xembedIcon_->setIcon(drawnIcon_);
    ++iconUpdates_;
  }
  // A tray shows no text beside its icon: the countdown goes on a second line of the tip.
  QString tip = QString::fromStdString(button_.toolTip);
  if (button_.showsTitle) tip += QLatin1Char('\n') + QString::fromStdString(button_.title);
  if (tip != toolTip_) {
    toolTip_ = tip;
    if (tray_) tray_->setToolTip(tip);
    if (xembedIcon_) xembedIcon_->setToolTip(tip);
    ++toolTipUpdates_;
  }
  if (!isTrayShown() && sinceTrayCheck_.isValid() &&
      sinceTrayCheck_.elapsed() >= trayRecheckMilliseconds) {
    showTrayIfAvailable();
  }
  refreshOpenMenus();
}

StatusCommandHandler StatusItemController::handler() {
  QPointer<StatusItemController> self(this);
  return [self](StatusCommand command, const StatusData& data) {
    if (self) self->run(command, data);
  };
}

ReminderPageReader StatusItemController::pageReader() {
  QPointer<StatusItemController> self(this);
  return [self](std::size_t from, const QMenu& page) -> std::vector<StatusMenuEntry> {
    if (!self) return {};
    const StatusSnapshot s =
        self->actions_->snapshot(self->isTrayShown(), StatusReading::menu, from);
    return reminderPage(s, submenuColumnRows(page));
  };
}

std::vector<StatusMenuEntry> StatusItemController::currentRows(const QMenu& menu) const {
  return statusMenu(actions_->snapshot(isTrayShown()), submenuColumnRows(menu));
}

void StatusItemController::fillMenu(QMenu& menu) {
  ShownRows rows{&menu, menu.actions().size(), currentRows(menu)};
  fillStatusMenu(menu, rows.entries, handler(), pageReader());
  otherMenus_.push_back(std::move(rows));
  connect(&menu, &QMenu::aboutToHide, this, &StatusItemController::menuHidden,
          Qt::UniqueConnection);
}

void StatusItemController::menuHidden() {
  const QObject* menu = sender();
  std::erase_if(otherMenus_, [menu](const ShownRows& rows) { return rows.menu == menu; });
}

void StatusItemController::rebuildMenu() {
  clearStatusMenu(*menu_);
  trayRows_.entries = currentRows(*menu_);
  fillStatusMenu(*menu_, trayRows_.entries, handler(), pageReader());
}

void StatusItemController::refreshOpenMenus() {
  std::erase_if(otherMenus_, [](const ShownRows& rows) { return rows.menu.isNull(); });
  if (!trayMenuOpen_ && otherMenus_.empty()) return;
  const auto bringUpToDate = [&](ShownRows& rows) {
    std::vector<StatusMenuEntry> fresh = currentRows(*rows.menu);
    updateStatusMenu(*rows.menu, rows.from, rows.entries, fresh, handler(), pageReader());
    rows.entries = std::move(fresh);
  };
  if (trayMenuOpen_) bringUpToDate(trayRows_);
  for (ShownRows& rows : otherMenus_) bringUpToDate(rows);
}

void StatusItemController::settingsChanged() {
  // An open menu is rebuilt when it next opens; hosts that mirror a closed one read it now.
  // The icon and its tip show no setting: they follow the application's state (refresh).
  if (!menu_->isVisible()) rebuildMenu();
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
