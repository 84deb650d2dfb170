#include "platform/desktop/hot_key_mapping.h"

#include <algorithm>

namespace vorlane {

namespace {
constexpr std::uint32_t keySymM = 0x006d;      // XK_m
constexpr std::uint32_t keySymSpace = 0x0020;  // XK_space
}  // namespace

std::uint32_t fourCharCode(std::string_view text) {
  std::uint32_t code = 0;
  for (const char c : text) code = (code << 8) + static_cast<unsigned char>(c);
  return code;
}

std::optional<std::uint32_t> keySymForKeyCode(std::uint32_t keyCode) {
  switch (keyCode) {
    case 46:
      return keySymM;
    case 49:
      return keySymSpace;
    default:
      return std::nullopt;
  }
}

std::optional<std::uint16_t> x11ModifiersFor(std::uint32_t modifiers) {
  using namespace hot_key_modifier;
  if ((modifiers & ~(command | shift | option | control)) != 0) return std::nullopt;
  std::uint16_t mask = 0;
  if (modifiers & control) mask |= x11_modifier::control;
  if (modifiers & option) mask |= x11_modifier::mod1;
  if (modifiers & command) mask |= x11_modifier::mod4;
  if (modifiers & shift) mask |= x11_modifier::shift;
  return mask;
}

std::vector<std::uint16_t> lockVariants(std::uint16_t modifiers, std::uint16_t numLockMask) {
  std::vector<std::uint16_t> masks;
  for (const std::uint16_t extra : {std::uint16_t(0), x11_modifier::lock, numLockMask,
                                    std::uint16_t(x11_modifier::lock | numLockMask)}) {
    const auto mask = std::uint16_t(modifiers | extra);
    if (std::find(masks.begin(), masks.end(), mask) == masks.end()) masks.push_back(mask);
  }
  return masks;
}

bool stateMatches(std::uint16_t eventState, std::uint16_t modifiers) {
  constexpr std::uint16_t relevant =
      x11_modifier::shift | x11_modifier::control | x11_modifier::mod1 | x11_modifier::mod4;
  return (eventState & relevant) == modifiers;
}

}  // namespace vorlane
