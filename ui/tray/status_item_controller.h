#pragma once

#include <QElapsedTimer>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "foundation/observers.h"
#include "platform/desktop/tray/tray_kinds.h"
#include "ui/tray/status_button_model.h"
#include "ui/tray/status_item_actions.h"
#include "ui/tray/status_menu_builder.h"

class QMenu;
class QSystemTrayIcon;

namespace vorlane {

class XEmbedTrayIcon;

// The status item in the desktop's system tray (StatusNotifierItem hosts and XEmbed trays
// alike): the symbol of the mascot's state, a tool tip with what comes next and the running
// countdown, and the status menu, rebuilt each time it opens and after a change of the one
// setting it shows (click-through), and brought up to date at each refresh while it is open.
// Without a tray nothing shows here; the mascot's own context menu carries the same menu
// (`fillMenu`). Told which kinds of tray are there (`trays`), the icon lives on one at a time,
// a StatusNotifier host whenever there is one (Qt's icon), else an XEmbed tray (ours: Qt picks
// its kind of icon once per process), and is made anew as that answer changes: on the XEmbed
// tray when the host leaves, on a host when one comes. Main thread only.
class StatusItemController final : public QObject {
 public:
  struct Dependencies {
    std::shared_ptr<StatusItemActions> actions;  // required
    // Optional: whether a tray exists; Qt's own answer when absent.
    std::function<bool()> trayAvailable;
    // Optional: subscribes a callback to every coming and going of a tray, so that the icon
    // shows as a tray comes, moves when its own leaves, and the menu offers what a tray
    // allows. Without it the item looks for a tray again at most every 30 s, as refresh() runs.
    std::function<Observers<>::Subscription(std::function<void()>)> followTray;
    // Optional: which kinds of tray are there, asked at every use. Without it Qt's icon is
    // shown while `trayAvailable` says so, on whichever tray Qt chose for it.
    std::function<TrayKinds()> trays;
    // Optional: the icon of a symbol drawn in an ink; our named drawings when absent.
    std::function<QIcon(const std::string& symbol, const QColor& ink)> icon;
    // Optional: the ink the tray's icon stands out in, given where the icon sits (empty until
    // an XEmbed tray places it); the application's text colour when absent or invalid. None
    // when the panel cannot be read now (a window of ours is drawn over it): the ink stays,
    // and is asked for again when the source calls `readAgain` (once the window has changed)
    // and again a moment after that, in case the screen showed the panel late. Asked when
    // the icon's place changes, just after the icon is shown, at recheckInk(), and at most
    // every 30 s otherwise.
    std::function<std::optional<QColor>(const QRect& iconArea, std::function<void()> readAgain)>
        ink;
  };

  // Shows the icon at once when a tray exists. Throws std::invalid_argument without actions.
  explicit StatusItemController(Dependencies dependencies);
  ~StatusItemController() override;

  // Redraws the icon and tool tip, touching each only when it changed: this runs on every
  // state change, once a second while a session runs, and each change is a message to the
  // tray. Without a tray it looks again for one, at most every 30 s. A menu open now shows
  // the state as it is: a row whose state has gone (a pause after the focus ended) goes.
  void refresh();
  // Asks for the ink again at once and redraws the icon if it changed: a tray has just
  // placed the icon, or its colours may have changed.
  void recheckInk();
  // Appends the status menu, as it stands now, to another menu, and keeps those rows up to
  // date until the menu closes.
  void fillMenu(QMenu& menu);

  // Whether the icon is shown in a tray that is there now.
  bool isTrayShown() const;
  // Qt's icon; none while the icon is on no tray or on an XEmbed tray of ours.
  QSystemTrayIcon* trayIcon() const { return tray_.get(); }
  // Where the icon is on screen; empty while it is on no tray or on a host that does not say.
  QRect trayGeometry() const;
  QMenu* menu() const { return menu_.get(); }
  const StatusButtonModel& button() const { return button_; }
  QString toolTip() const { return toolTip_; }
  // How often the icon and the tool tip were set, for the tests of "only on change".
  int iconUpdates() const { return iconUpdates_; }
  int toolTipUpdates() const { return toolTipUpdates_; }

  // Our drawing of a symbol in `ink`, sized for trays, under its symbolic theme name.
  static QIcon symbolIcon(const std::string& name, const QColor& ink);
  // The ink the icon is drawn in now.
  QColor displayedInk() const { return displayedInk_; }

 private:
  // Status rows at the end of a menu, from its `from`th action on, as they were last shown.
  struct ShownRows {
    QPointer<QMenu> menu;
    qsizetype from = 0;
    std::vector<StatusMenuEntry> entries;
  };

  void rebuildMenu();
  // The rows as `menu` shows them now, each submenu within one column of its screen.
  std::vector<StatusMenuEntry> currentRows(const QMenu& menu) const;
  // Brings the rows of every open menu up to date.
  void refreshOpenMenus();
  // Another menu that carried the rows has closed.
  void menuHidden();
  // Which kind of tray the icon lives on.
  enum class IconHome { none, qt, xembed };

  StatusCommandHandler handler();
  // Reads a page of reminders as it opens, each in one column of its screen.
  ReminderPageReader pageReader();
  void showTrayIfAvailable();
  // With `trays`: makes the icon anew where it belongs now, if it is not there already.
  void placeIcon();
  void makeTray();
  bool dockXEmbedIcon();
  void removeIcon();
  void popUpMenu(QPoint at);
  // A tray came or went.
  void trayChanged();
  void run(StatusCommand command, const StatusData& data);
  QColor currentInk();

  // Click-through changed: the menu shows it.
  void settingsChanged();

  std::shared_ptr<StatusItemActions> actions_;
  Observers<Preferences>::Subscription settings_;
  std::function<bool()> trayAvailable_;
  std::function<TrayKinds()> trays_;
  std::function<QIcon(const std::string&, const QColor&)> icon_;
  std::function<std::optional<QColor>(const QRect&, std::function<void()>)> inkSource_;
  std::unique_ptr<QMenu> menu_;
  ShownRows trayRows_;
  bool trayMenuOpen_ = false;
  // Other menus filled with the rows that have not closed yet.
  std::vector<ShownRows> otherMenus_;
  std::unique_ptr<QSystemTrayIcon> tray_;
  std::unique_ptr<XEmbedTrayIcon> xembedIcon_;
  IconHome home_ = IconHome::none;
  StatusButtonModel button_;
  std::string displayedSymbol_;
  QColor displayedInk_;
  QIcon drawnIcon_;
  QRect inkArea_;
  QColor ink_;
  QElapsedTimer sinceInkCheck_;
  // Whether the panel could not be read at the last look.
  bool panelHidden_ = false;
  QString toolTip_;
  int iconUpdates_ = 0;
  int toolTipUpdates_ = 0;
  QElapsedTimer sinceTrayCheck_;
  Observers<>::Subscription traySubscription_;
};

}  // namespace vorlane
