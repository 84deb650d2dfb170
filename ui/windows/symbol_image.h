#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

namespace vorlane {

// One of our symbols ("clock", "figure.climbing", ...) drawn `size` logical pixels square in
// one colour, sharp on the given pixel ratio. A null pixmap for an unknown name.
QPixmap symbolImage(const QString& name, int size, const QColor& color, qreal pixelRatio);

}  // namespace vorlane
