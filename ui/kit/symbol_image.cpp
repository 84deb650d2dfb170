#include "ui/kit/symbol_image.h"

#include <QLabel>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <cmath>

namespace vorlane {

QPixmap symbolImage(const QString& name, int size, const QColor& color, qreal pixelRatio) {
  // A list draws the same few symbols on every row: each is drawn once, while Qt keeps it.
  const QString key = QStringLiteral("vorlane-symbol:%1:%2:%3:%4")
                          .arg(name)
                          .arg(size)
                          .arg(color.rgba())
                          .arg(pixelRatio);
  if (QPixmap drawn; QPixmapCache::find(key, &drawn)) return drawn;
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
  QPixmapCache::insert(key, pixmap);
  return pixmap;
}

QIcon symbolIcon(const QString& name, int size, const QColor& color) {
  QIcon icon;
  for (const qreal ratio : {1.0, 2.0}) {
    const QPixmap pixmap = symbolImage(name, size, color, ratio);
    if (pixmap.isNull()) return {};
    icon.addPixmap(pixmap);
  }
  return icon;
}

QLabel* symbolLabel(const QString& name, int size, const QColor& color, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setProperty("symbol", name);
  const qreal ratio = parent != nullptr ? parent->devicePixelRatioF() : 1.0;
  label->setPixmap(symbolImage(name, size, color, ratio));
  return label;
}

}  // namespace vorlane
