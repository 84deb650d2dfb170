#pragma once

#include <xcb/xcb.h>

#include <QIcon>
#include <QPixmap>
#include <QWidget>
#include <functional>

namespace vorlane {

// The status item's icon docked in an XEmbed system tray (trayer, tint2, i3bar, lxpanel...),
// drawn here rather than by Qt: Qt decides once per process, at its first tray icon, between
// a StatusNotifierItem and an XEmbed icon, so an icon that began on a StatusNotifier host
// could never move to an XEmbed tray. This one docks whenever asked.
//
// The window paints the panel under it (its parent's background, read once placed) with the
// icon over it, shows the tool tip, and tells `pressed` of each button pressed on it. `dock`
// does nothing without a tray manager. Main thread; `connection` is Qt's own, borrowed.
class XEmbedTrayIcon final : public QWidget {
 public:
  XEmbedTrayIcon(xcb_connection_t* connection, int screenNumber);

  // Asks the screen's tray manager to take the icon and shows it; false when there is none.
  bool dock();
  void setIcon(const QIcon& icon);
  // Where the tray shows the icon, in Qt's pixels; empty until it is shown.
  QRect placement() const;
  // Reads the panel under the icon again and draws the icon over it at once: a window drawn
  // over the icon when it last read the panel was read in its place.
  void readPanelAgain();

  std::function<void(Qt::MouseButton button, QPoint global)> pressed;

  // The name Qt gives its own tray icon's widget: Qt's X11 platform treats a window of that
  // name as a tray icon, which trays need to size it. The ink's reading finds it by it too.
  static constexpr const char* objectNameForTrays = "QSystemTrayIconSys";

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  xcb_connection_t* connection_;
  int screenNumber_;
  QIcon icon_;
  // The panel under the icon, read when the tray has placed or resized it.
  QPixmap background_;
};

}  // namespace vorlane
