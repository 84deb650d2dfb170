#pragma once

#include <QHash>
#include <QList>
#include <QRectF>

class QGraphicsItem;

namespace vorlane {

// Where a scene's pixels may have changed since it was last drawn: every drawing item under
// one root (a scene's root node holds them all) that moved, turned, scaled, faded, changed
// its drawing or z order, appeared or went counts with the box it had and the box it has. Qt's own
// change notices cannot serve: without a view drawing them they report the whole scene whenever a
// node with an empty box (a group) moves.
class PaintedAreas {
 public:
  // The boxes (scene coordinates) to draw again since the last call, and takes the scene as
  // drawn. The first call, or the first after `forget`, returns every drawing node's box.
  QList<QRectF> changedSince(QGraphicsItem& root);
  // Takes the scene as drawn now, with nothing to draw again.
  void take(QGraphicsItem& root) { (void)changedSince(root); }
  void forget() { drawn_.clear(); }

 private:
  struct Drawn {
    QRectF box;
    qreal opacity = 1;
    qreal z = 0;
    quint64 drawing = 0;
    quint32 pass = 0;
  };
  void visit(QGraphicsItem* item, QList<QRectF>& changed);

  QHash<const QGraphicsItem*, Drawn> drawn_;
  quint32 pass_ = 0;
};

}  // namespace vorlane
