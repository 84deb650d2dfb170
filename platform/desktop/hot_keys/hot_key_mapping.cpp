#include "platform/desktop/hot_keys/hot_key_mapping.h"

#include <algorithm>

namespace vorlane {

std::optional<std::uint16_t> x11ModifiersFor(Qt::KeyboardModifiers modifiers) {
  constexpr Qt::KeyboardModifiers allowed =
      Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier;
  if ((modifiers & ~allowed) != Qt::NoModifier) return std::nullopt;
  std::uint16_t mask = 0;
  if (modifiers & Qt::ControlModifier) mask |= x11_modifier::control;
  if (modifiers & Qt::AltModifier) mask |= x11_modifier::mod1;
  if (modifiers & Qt::MetaModifier) mask |= x11_modifier::mod4;
  if (modifiers & Qt::ShiftModifier) mask |= x11_modifier::shift;
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

std::optional<std::string> portalTriggerFor(std::uint32_t keySym, Qt::KeyboardModifiers modifiers) {
  std::string key;
  if (keySym == 0x20) {
    key = "space";
  } else if (keySym > 0x20 && keySym < 0x7f) {
    key = std::string(1, char(keySym));  // Latin key symbols are their own characters
  } else {
    return std::nullopt;
  }
  if (!x11ModifiersFor(modifiers)) return std::nullopt;
  std::string trigger;
  if (modifiers & Qt::ShiftModifier) trigger += "SHIFT+";
  if (modifiers & Qt::ControlModifier) trigger += "CTRL+";
  if (modifiers & Qt::AltModifier) trigger += "ALT+";
  if (modifiers & Qt::MetaModifier) trigger += "LOGO+";
  return trigger + key;
}

}  // namespace vorlane
