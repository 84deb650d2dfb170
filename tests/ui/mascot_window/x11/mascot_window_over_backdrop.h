#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <cstdint>
#include <memory>
#include <optional>

#include "tests/support/x11_peer.h"
#include "ui/mascot_window/mascot_window.h"
#include "ui/mascot_window/qt_screen_provider.h"
#include "ui/mascot_window/target_screen.h"

namespace vorlane {

// The mascot's window at the right edge of the screen on openbox, xcompmgr blending it (the
// parameter true) or no compositor at all, over another application's window of one colour
// that covers the whole screen.
class MascotWindowOverBackdrop : public ::testing::TestWithParam<bool> {
 protected:
  void makeWindowOver(std::uint32_t backdrop) {
    ASSERT_TRUE(peer.ok());
    if (GetParam()) {
      compositor = peer.startCompositor();
      ASSERT_NE(compositor, nullptr) << "xcompmgr did not start";
    }
    below = peer.backdrop(backdrop);
    QtScreenProvider screens(nullptr, nullptr);
    window =
        std::make_unique<MascotWindow>(targetScreen(screens, std::nullopt), MascotPlacement(1, 0));
  }
  void TearDown() override {
    window.reset();
    if (below) xcb_destroy_window(peer.c, below);
    peer.sync();
    compositor.reset();
  }

  // What the X server holds in `area` of the screen now; null when it cannot be read.
  QImage screenArea(const QRect& area) {
    const auto image = testing::owned(xcb_get_image_reply(
        peer.c,
        xcb_get_image(peer.c, XCB_IMAGE_FORMAT_Z_PIXMAP, peer.root, std::int16_t(area.x()),
                      std::int16_t(area.y()), std::uint16_t(area.width()),
                      std::uint16_t(area.height()), ~0u),
        nullptr));
    if (!image) return {};
    return QImage(xcb_get_image_data(image.get()), area.width(), area.height(),
                  QImage::Format_RGB32)
        .copy();
  }

  testing::X11Peer peer;
  std::unique_ptr<testing::ChildProcess> compositor;
  xcb_window_t below = XCB_WINDOW_NONE;
  std::unique_ptr<MascotWindow> window;
};

}  // namespace vorlane
