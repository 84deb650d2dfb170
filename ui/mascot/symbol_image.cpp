#include "ui/mascot/symbol_image.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

// Outside the namespace, as the resource compiler's registration demands.
static void registerIcons() { Q_INIT_RESOURCE(icons); }

namespace vorlane {

QImage symbolImage(const QString& name, QSizeF size, double devicePixelRatio, const Rgba& tint) {
  static const bool registered = (registerIcons(), true);
  (void)registered;
  const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
  if (name.isEmpty() || !QFile::exists(path)) return {};
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) return {};
  const double ratio = devicePixelRatio > 0 ? devicePixelRatio : 1;
  QImage image((size * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return {};
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter, QRectF(QPointF(0, 0), image.size()));
  // Keep the drawing's coverage, take the tint's colour.
  painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
  painter.fillRect(image.rect(), tint.toQColor());
  painter.end();
  image.setDevicePixelRatio(ratio);
  return image;
}

}  // namespace vorlane
