#pragma once

#include <QImage>
#include <QRegion>

namespace vorlane {

// Puts a window's finished frames on screen. The window paints each frame into its backing
// store as Qt would; a presenter then shows the repainted area without Qt's flush.
class FramePresenter {
 public:
  virtual ~FramePresenter() = default;
  // Shows `area` (device pixels, inside the frame) of `frame` at the same place in the window.
  // The frame may be painted again as soon as this returns.
  // Whether it could: false for a frame it cannot read, which is then left to Qt.
  virtual bool present(const QImage& frame, const QRegion& area) = 0;
};

}  // namespace vorlane
