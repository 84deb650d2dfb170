#pragma once

class QWidget;

namespace vorlane {

// Centres a window not yet shown on the screen under the pointer (the primary screen when
// the pointer is on none), within the area panels leave free.
void centreOnPointerScreen(QWidget& window);

// Shows the window in front of other applications' windows and gives it the keyboard, also
// when it was minimised or hidden.
void bringToFront(QWidget& window);

}  // namespace vorlane
