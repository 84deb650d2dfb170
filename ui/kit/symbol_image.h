#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

class QLabel;
class QWidget;

namespace vorlane {

// One of our symbols ("clock", "figure.climbing", ...) drawn `size` logical pixels square in
// one colour, sharp on the given pixel ratio. A null pixmap for an unknown name.
QPixmap symbolImage(const QString& name, int size, const QColor& color, qreal pixelRatio);

// The symbol as an icon for buttons and lists, `size` logical pixels square, drawn for single
// and double pixel ratios. A null icon for an unknown name.
QIcon symbolIcon(const QString& name, int size, const QColor& color);

// A label showing the symbol at the parent's pixel ratio, its name kept in the "symbol"
// property so tests can tell which symbol a window shows.
QLabel* symbolLabel(const QString& name, int size, const QColor& color, QWidget* parent);

}  // namespace vorlane
