#pragma once

#include <functional>

class QShortcut;
class QWidget;

namespace vorlane {

// Escape anywhere in `owner` (its fields included) runs `cancel`, unless a popup is open: an
// open drop-down list or menu then closes alone, and the window, with what was typed in it,
// stays. The first call watches the application's keys for that.
QShortcut* escapeShortcut(QWidget& owner, std::function<void()> cancel);

// Closes the popup on screen, if any: a drop-down list through its box, so the box knows.
// Returns whether one was open.
bool closeOpenPopup();

}  // namespace vorlane
