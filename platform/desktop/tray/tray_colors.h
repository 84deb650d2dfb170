#pragma once

#include <QColor>
#include <cstdint>
#include <optional>
#include <vector>

namespace vorlane {

// The rules for what an XEmbed tray tells of its colours, apart from the X calls.

// The foreground of a `_NET_SYSTEM_TRAY_COLORS` property (twelve CARDINALs, 16 bits a
// channel: foreground, error, warning and success, each red, green, blue). None when the
// property holds fewer than three values or one outside 16 bits.
std::optional<QColor> trayForegroundColor(const std::vector<std::uint32_t>& property);

// The colour most of `pixels` (0xRRGGBB each, higher bits ignored) have: a panel's
// background under an icon that covers little of its square. None for no pixels.
std::optional<QColor> dominantColor(const std::vector<std::uint32_t>& pixels);

}  // namespace vorlane
