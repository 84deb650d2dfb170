#pragma once

#include <sys/uio.h>
#include <xcb/xcb.h>

#include <memory>
#include <vector>

#include "ui/mascot_window/frame_presenter.h"

namespace vorlane {

// Sends a frame's repainted rows straight to the window with PutImage, one piece of memory
// per row, so nothing is copied or kept. Qt's own flush goes through shared memory and then
// waits for the X server before the next paint; these requests need no answer.
class X11FramePresenter final : public FramePresenter {
 public:
  // None unless the window takes premultiplied 32-bit ARGB pixels as they lie in memory
  // (a 32-bit visual, the server's byte order ours). Asks the server twice.
  static std::unique_ptr<X11FramePresenter> create(xcb_connection_t* c, xcb_window_t window);
  ~X11FramePresenter() override;

  bool present(const QImage& frame, const QRegion& area) override;

 private:
  X11FramePresenter(xcb_connection_t* c, xcb_window_t window);

  xcb_connection_t* c_;
  xcb_window_t window_;
  xcb_gcontext_t gc_;
  // Pixel bytes one request may carry.
  long long maxRequestBytes_;
  // The pieces of the request being sent, kept so that frames allocate nothing.
  std::vector<iovec> parts_;
};

}  // namespace vorlane
