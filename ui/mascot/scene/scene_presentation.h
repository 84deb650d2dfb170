#pragma once

#include "ui/mascot/scene/mascot_view.h"
#include "ui/mascot_window/mascot_window.h"
#include "ui/scene/scene.h"

namespace vorlane {

// Lets the column show the scene's frames itself whenever it can: the view then stops
// repainting on its own, and at each change of the scene the window paints and shows just
// the boxes that changed, before control returns. Where the window cannot, or while it is
// hidden, the view repaints through Qt as before. The view and the scene may go first.
void presentSceneThroughWindow(MascotWindow& window, MascotView& view, Scene& scene);

}  // namespace vorlane
