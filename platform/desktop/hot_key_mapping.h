#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vorlane {

// Modifier masks as the application's shortcuts are written (command, shift, option,
// control) and as X reports them.
namespace hot_key_modifier {
inline constexpr std::uint32_t command = 0x0100;
inline constexpr std::uint32_t shift = 0x0200;
inline constexpr std::uint32_t option = 0x0800;
inline constexpr std::uint32_t control = 0x1000;
}  // namespace hot_key_modifier

namespace x11_modifier {
inline constexpr std::uint16_t shift = 0x01;
inline constexpr std::uint16_t lock = 0x02;
inline constexpr std::uint16_t control = 0x04;
inline constexpr std::uint16_t mod1 = 0x08;  // Alt
inline constexpr std::uint16_t mod2 = 0x10;  // NumLock on most keymaps
inline constexpr std::uint16_t mod4 = 0x40;  // Super
}  // namespace x11_modifier

// The four-character code built from the text's bytes, each shifted in from the right.
std::uint32_t fourCharCode(std::string_view text);

// The X key symbol of a shortcut key code (46 is M, 49 the space bar); none for a key code
// no shortcut of the application uses.
std::optional<std::uint32_t> keySymForKeyCode(std::uint32_t keyCode);

// The X modifier mask for a shortcut modifier mask; none when it holds a bit other than
// command, shift, option and control.
std::optional<std::uint16_t> x11ModifiersFor(std::uint32_t modifiers);

// The masks to grab so that the shortcut works whatever the state of CapsLock and NumLock:
// the modifiers alone, with Lock, with NumLock and with both (no duplicates when NumLock is
// not mapped).
std::vector<std::uint16_t> lockVariants(std::uint16_t modifiers, std::uint16_t numLockMask);

// Whether a key event's state carries exactly the shortcut's modifiers, ignoring the lock
// keys and mouse buttons.
bool stateMatches(std::uint16_t eventState, std::uint16_t modifiers);

}  // namespace vorlane
