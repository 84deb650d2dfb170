#include "ui/mascot/mascot_view.h"

namespace vorlane {

MascotView::MascotView(Scene* scene, QWidget* parent) : QGraphicsView(scene, parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setBackgroundBrush(Qt::NoBrush);
  setStyleSheet(QStringLiteral("background: transparent"));
  setAttribute(Qt::WA_TranslucentBackground);
  viewport()->setAutoFillBackground(false);
  setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                 QPainter::TextAntialiasing);
  setFocusPolicy(Qt::NoFocus);
  // Nodes move every frame: repainting the union of their boxes is cheaper than tracking each.
  setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);
}

}  // namespace vorlane
