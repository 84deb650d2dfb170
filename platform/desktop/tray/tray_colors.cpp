#include "platform/desktop/tray/tray_colors.h"

#include <algorithm>
#include <unordered_map>

namespace vorlane {

std::optional<QColor> trayForegroundColor(const std::vector<std::uint32_t>& property) {
  if (property.size() < 3) return std::nullopt;
  constexpr std::uint32_t channelMax = 0xFFFF;
  if (property[0] > channelMax || property[1] > channelMax || property[2] > channelMax) {
    return std::nullopt;
  }
  return QColor::fromRgba64(static_cast<quint16>(property[0]), static_cast<quint16>(property[1]),
                            static_cast<quint16>(property[2]));
}

std::optional<QColor> dominantColor(const std::vector<std::uint32_t>& pixels) {
  if (pixels.empty()) return std::nullopt;
  std::unordered_map<std::uint32_t, int> counts;
  std::uint32_t best = 0;
  int bestCount = 0;
  for (const std::uint32_t pixel : pixels) {
    const std::uint32_t rgb = pixel & 0xFFFFFFu;
    const int count = ++counts[rgb];
    // Ties go to the colour seen first, so the answer does not depend on the map's order.
    if (count > bestCount) {
      best = rgb;
      bestCount = count;
    }
  }
  return QColor::fromRgb(best);
}

}  // namespace vorlane
