#pragma once

#include <QObject>
#include <QRect>

class QMenu;

namespace vorlane {

// Keeps an open menu inside the area panels leave free on its screen as its size changes. Qt
// places a menu inside that area as it opens, then lets it grow from where it stands: a menu
// whose rows follow the state ran past the screen's edge, its submenus' arrows out of reach.
class MenuScreenKeeper final : public QObject {
 public:
  // Keeps `menu` on its screen from now on, once however often this is asked; the keeper is
  // the menu's and goes with it.
  static void keep(QMenu& menu);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit MenuScreenKeeper(QMenu& menu);

  QMenu& menu_;
};

// `rect` moved the least that puts it inside `area`; one larger than `area` keeps its top
// left corner in it, where a menu's first rows are.
QRect movedInside(const QRect& rect, const QRect& area);

}  // namespace vorlane
