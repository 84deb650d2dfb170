#pragma once

#include <QWidget>

namespace vorlane {

// A frameless, translucent window above ordinary windows on every workspace that never
// takes focus. A click-through window lets every click fall to the windows below for its
// whole life.
class OverlayWindow : public QWidget {
 public:
  explicit OverlayWindow(bool clickThrough);

  // "Order front regardless": shown and raised without activating the application.
  void orderFront();

 protected:
  bool event(QEvent* event) override;

 private:
  bool clickThrough_;
};

// Whether a compositor blends translucent windows on the X display; false without one (or
// without an X connection), where transparent pixels would show black.
bool compositorRunning();

}  // namespace vorlane
