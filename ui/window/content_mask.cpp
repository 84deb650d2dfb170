#include "ui/window/content_mask.h"

#include <QBitmap>

namespace vorlane {

QRegion opaqueRegion(const QImage& image) {
  if (image.isNull() || !image.hasAlphaChannel()) return QRegion(image.rect());
  return QRegion(QBitmap::fromImage(image.createAlphaMask(Qt::ThresholdAlphaDither)));
}

}  // namespace vorlane
