#pragma once

#include <QImage>
#include <QRegion>
#include <optional>

namespace vorlane {

// The pixels of a rendered image that are at least half opaque, in the image's own (device)
// pixels: what a window without a compositor may show. Fainter edge pixels would show as
// dark specks there, unblended. Built from the runs of each row, so one frame stays cheap.
QRegion opaqueRegion(const QImage& image);
// The same, looking only inside `area`.
QRegion opaqueRegion(const QImage& image, QRect area);

// The opaque pixels of a frame that repainted only `repainted` of an image whose opaque
// pixels were `before`; none before scans the whole image.
QRegion repaintedOpaqueRegion(const std::optional<QRegion>& before, const QImage& frame,
                              QRect repainted);

}  // namespace vorlane
