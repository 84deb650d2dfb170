#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace vorlane {

// Modifier bits as Qt numbers them (Super is Qt's Meta on X11), so that the shortcut
// can be shown and compared without Qt here.
namespace hot_key_modifiers {
inline constexpr std::uint32_t shift = 0x02000000;
inline constexpr std::uint32_t control = 0x04000000;
inline constexpr std::uint32_t alt = 0x08000000;
inline constexpr std::uint32_t meta = 0x10000000;
}  // namespace hot_key_modifiers

// One system-wide shortcut: an X key symbol, modifiers and the identifier it is kept under.
struct HotKeyCombination {
  std::uint32_t keysym;
  std::uint32_t modifiers;
  std::uint32_t identifier;
};

// Ctrl+Alt+Super+M toggles a one-hour mute; Ctrl+Alt+Space opens the quick-command window.
inline constexpr HotKeyCombination muteHotKey{
    0x006d, hot_key_modifiers::control | hot_key_modifiers::alt | hot_key_modifiers::meta, 1};
inline constexpr HotKeyCombination quickCommandHotKey{
    0x0020, hot_key_modifiers::control | hot_key_modifiers::alt, 2};

// A registered shortcut; destroying it releases the shortcut.
class HotKeyRegistration {
 public:
  virtual ~HotKeyRegistration() = default;
};

// Registers system-wide shortcuts. Null when the combination cannot be had (another
// program holds it, or there is no way to grab keys); the registrar logs why.
class HotKeyRegistrar {
 public:
  virtual ~HotKeyRegistrar() = default;
  virtual std::unique_ptr<HotKeyRegistration> registerHotKey(HotKeyCombination combination,
                                                             std::function<void()> handler) = 0;
};

}  // namespace vorlane
