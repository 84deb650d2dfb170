#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

class QLabel;
class QWidget;

namespace vorlane {

// One of our symbols ("clock", "figure.climbing", ...) drawn `size` logical pixels square in
// one colour, sharp on the given pixel ratio. A null pixmap for an unknown name.
QPixmap symbolImage(const QString& name, int size, const QColor& color, qreal pixelRatio);

// A label showing the symbol at the parent's pixel ratio, its name kept in the "symbol"
// property so tests can tell which symbol a window shows.
QLabel* symbolLabel(const QString& name, int size, const QColor& color, QWidget* parent);

}  // namespace vorlane
