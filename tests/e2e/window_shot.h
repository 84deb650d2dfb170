#pragma once

// Pictures of single windows cut from a whole-screen screenshot: where the window and its
// frame lie (as xwininfo and xprop print them), whether a picture holds more than a blank
// surface, and the folder the pictures are kept in.

#include <QImage>
#include <QMargins>
#include <QRect>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_set>

namespace vorlane::e2e {

// The window's inside from `xwininfo -id`: its "Absolute upper-left X:" and "Y:" lines (where
// the inside lies on the screen, inside the frame) and "Width:" and "Height:". None when one is
// missing or not a number, or the window has no area.
inline std::optional<QRect> parseWindowGeometry(const std::string& printout) {
  std::optional<int> x, y, width, height;
  std::istringstream lines(printout);
  for (std::string line; std::getline(lines, line);) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    const auto from = line.find_first_not_of(' ');
    const std::string name = line.substr(from, colon - from);
    std::istringstream rest(line.substr(colon + 1));
    int value = 0;
    std::string trailing;
    if (!(rest >> value) || rest >> trailing) continue;
    if (name == "Absolute upper-left X") x = value;
    if (name == "Absolute upper-left Y") y = value;
    if (name == "Width") width = value;
    if (name == "Height") height = value;
  }
  if (!x || !y || !width || !height || *width <= 0 || *height <= 0) return std::nullopt;
  return QRect(*x, *y, *width, *height);
}

// The frame the window manager draws around a window, from `xprop _NET_FRAME_EXTENTS`
// ("_NET_FRAME_EXTENTS(CARDINAL) = left, right, top, bottom"). No frame when the property is
// absent or garbled.
inline QMargins parseFrameExtents(const std::string& printout) {
  const auto equals = printout.find(" = ");
  if (equals == std::string::npos) return {};
  std::istringstream in(printout.substr(equals + 3));
  int side[4];
  for (int& s : side) {
    if (!(in >> s) || s < 0) return {};
    char comma = 0;
    if (&s != &side[3] && !(in >> comma && comma == ',')) return {};
  }
  return QMargins(side[0], side[2], side[1], side[3]);
}

// The part of the screen to keep: the window with its frame, cut to the screen.
inline QRect windowArea(QRect inside, QMargins frame, QRect screen) {
  return inside.marginsAdded(frame).intersected(screen);
}

// How many colours `image` holds, counting no further than `enough`.
inline int distinctColours(const QImage& image, int enough = 64) {
  std::unordered_set<QRgb> seen;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x) {
      seen.insert(row[x]);
      if (int(seen.size()) >= enough) return enough;
    }
  }
  return int(seen.size());
}

// A picture with text or drawing on it: more than a handful of colours (a blank window, a
// flat desktop or a frame alone has only a few).
inline bool drawnOn(const QImage& image) { return !image.isNull() && distinctColours(image) > 8; }

// Where the pictures go: $VORLANE_SCREENSHOTS when set, else `fallback`.
inline std::filesystem::path screenshotFolder(const std::filesystem::path& fallback) {
  const char* chosen = std::getenv("VORLANE_SCREENSHOTS");
  return chosen && *chosen ? std::filesystem::path(chosen) : fallback;
}

}  // namespace vorlane::e2e
