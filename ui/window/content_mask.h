#pragma once

#include <QImage>
#include <QRegion>

namespace vorlane {

// The pixels of a rendered image that are at least half opaque, in the image's own (device)
// pixels: what a window without a compositor may show. Fainter edge pixels would show as
// dark specks there, unblended.
QRegion opaqueRegion(const QImage& image);

}  // namespace vorlane
