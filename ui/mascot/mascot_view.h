#pragma once

#include <QGraphicsView>

#include "ui/scene/scene.h"

namespace vorlane {

// Shows the mascot's scene in its column: no frame, no scroll bars, nothing painted where
// the scene is empty, so the desktop shows through. It draws only what the scene changes;
// whether anything moves is up to the scene's frame driver.
class MascotView final : public QGraphicsView {
 public:
  explicit MascotView(Scene* scene, QWidget* parent = nullptr);
};

}  // namespace vorlane
