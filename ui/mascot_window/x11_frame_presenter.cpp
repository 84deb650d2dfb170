#include "ui/mascot_window/x11_frame_presenter.h"

#include <xcb/xcbext.h>

#include <QtEndian>
#include <cstdlib>
#include <vector>

#include "platform/desktop/windows/xcb_reply.h"
#include "ui/mascot_window/image_rows.h"

namespace vorlane {
namespace {

// Rows per request: each is one piece of memory, and the library writes at most IOV_MAX.
constexpr int maxRowsPerRequest = 256;

// The visual of `window` when it is 32-bit ARGB with red, green and blue in the bytes that
// premultiplied ARGB32 images use.
bool takesArgb32(xcb_connection_t* c, xcb_window_t window) {
  const xcb_setup_t* setup = xcb_get_setup(c);
  if (setup == nullptr || QSysInfo::ByteOrder != QSysInfo::LittleEndian ||
      setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
    return false;
  }
  bool pixelsOf32Bits = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f)) {
    if (f.data->depth == 32) {
      pixelsOf32Bits = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
    }
  }
  const auto geometry = owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
  const auto attributes =
      owned(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
  if (!pixelsOf32Bits || !geometry || !attributes || geometry->depth != 32) return false;
  for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s)) {
    for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
      if (d.data->depth != 32) continue;
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
        if (v.data->visual_id != attributes->visual) continue;
        return v.data->red_mask == 0xff0000 && v.data->green_mask == 0xff00 &&
               v.data->blue_mask == 0xff;
      }
    }
  }
  return false;
}

}  // namespace

std::unique_ptr<X11FramePresenter> X11FramePresenter::create(xcb_connection_t* c,
                                                             xcb_window_t window) {
  if (c == nullptr || window == XCB_WINDOW_NONE || xcb_connection_has_error(c) != 0 ||
      !takesArgb32(c, window)) {
    return nullptr;
  }
  return std::unique_ptr<X11FramePresenter>(new X11FramePresenter(c, window));
}

X11FramePresenter::X11FramePresenter(xcb_connection_t* c, xcb_window_t window)
    : c_(c), window_(window), gc_(xcb_generate_id(c)) {
  const std::uint32_t noExposures = 0;
  xcb_create_gc(c_, gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
  // In 4-byte units, with big requests when the server has them.
  maxRequestBytes_ = static_cast<long long>(xcb_get_maximum_request_length(c_)) * 4 -
                     static_cast<long long>(sizeof(xcb_put_image_request_t)) - 8;
}

X11FramePresenter::~X11FramePresenter() {
  xcb_free_gc(c_, gc_);
  xcb_flush(c_);
}

bool X11FramePresenter::present(const QImage& frame, const QRegion& area) {
  if (frame.format() != QImage::Format_ARGB32_Premultiplied) return false;
  const QRegion shown = area & frame.rect();
  for (const QRect& rect : shown) {
    for (const RowBatch& batch : rowBatches(rect, maxRequestBytes_, maxRowsPerRequest)) {
      xcb_put_image_request_t header{};
      header.format = XCB_IMAGE_FORMAT_Z_PIXMAP;
      header.drawable = window_;
      header.gc = gc_;
      header.width = static_cast<std::uint16_t>(rect.width());
      header.height = static_cast<std::uint16_t>(batch.rows);
      header.dst_x = static_cast<std::int16_t>(rect.x());
      header.dst_y = static_cast<std::int16_t>(batch.top);
      header.depth = 32;
      // Two parts ahead of the request belong to the library.
      parts_.assign(2 + 1 + static_cast<std::size_t>(batch.rows), iovec{});
      parts_[2] = {&header, sizeof(header)};
      const auto rowBytes = static_cast<std::size_t>(rect.width()) * 4;
      for (int row = 0; row < batch.rows; ++row) {
        const uchar* pixels = frame.constScanLine(batch.top + row) + rect.x() * 4;
        parts_[3 + static_cast<std::size_t>(row)] = {const_cast<uchar*>(pixels), rowBytes};
      }
      const xcb_protocol_request_t request{static_cast<std::size_t>(1 + batch.rows), nullptr,
                                           XCB_PUT_IMAGE, 1};
      // The library writes the pixels out (or copies them) before it returns.
      xcb_send_request(c_, 0, parts_.data() + 2, &request);
    }
  }
  xcb_flush(c_);
  return true;
}

}  // namespace vorlane
