#include "ui/windows/symbol_image.h"

#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

namespace vorlane {

QPixmap symbolImage(const QString& name, int size, const QColor& color, qreal pixelRatio) {
  QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(name));
  if (!renderer.isValid()) return {};
  const int pixels = static_cast<int>(std::ceil(size * pixelRatio));
  QPixmap pixmap(pixels, pixels);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  // The drawings are black strokes: keep their coverage, take the colour.
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(pixmap.rect(), color);
  painter.end();
  pixmap.setDevicePixelRatio(pixelRatio);
  return pixmap;
}

}  // namespace vorlane
