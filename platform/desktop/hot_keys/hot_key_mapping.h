#pragma once

#include <QtCore/qnamespace.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

// Modifier masks as X reports them.
namespace x11_modifier {
inline constexpr std::uint16_t shift = 0x01;
inline constexpr std::uint16_t lock = 0x02;
inline constexpr std::uint16_t control = 0x04;
inline constexpr std::uint16_t mod1 = 0x08;  // Alt
inline constexpr std::uint16_t mod2 = 0x10;  // NumLock on most keymaps
inline constexpr std::uint16_t mod4 = 0x40;  // Super
}  // namespace x11_modifier

// The X modifier mask for Qt's modifiers (Meta is the Super key on X11); none when they hold
// one other than Ctrl, Alt, Super and Shift.
std::optional<std::uint16_t> x11ModifiersFor(Qt::KeyboardModifiers modifiers);

// The masks to grab so that the shortcut works whatever the state of CapsLock and NumLock:
// the modifiers alone, with Lock, with NumLock and with both (no duplicates when NumLock is
// not mapped).
std::vector<std::uint16_t> lockVariants(std::uint16_t modifiers, std::uint16_t numLockMask);

// Whether a key event's state carries exactly the shortcut's modifiers, ignoring the lock
// keys and mouse buttons.
bool stateMatches(std::uint16_t eventState, std::uint16_t modifiers);

// The shortcut as the desktop portal's preferred trigger ("CTRL+ALT+LOGO+m"); none for a key
// or modifier it cannot name.
std::optional<std::string> portalTriggerFor(std::uint32_t keySym, Qt::KeyboardModifiers modifiers);

}  // namespace vorlane
