#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

#include "ui/scene/rgba.h"

namespace vorlane {

// One of the project's own symbol drawings (resources/icons/<name>.svg), rendered at `size`
// points for the given pixel ratio and filled with `tint` wherever it has ink. An unknown
// name gives a null image.
QImage symbolImage(const QString& name, QSizeF size, double devicePixelRatio, const Rgba& tint);

}  // namespace vorlane
