#pragma once

#include <map>
#include <memory>
#include <type_traits>
#include <vector>

#include "coordination/windows/window_kind.h"

namespace vorlane {

// The kind a controller type is registered under: its own `kind`, or a specialisation for a
// controller that names none.
template <class Window>
inline constexpr WindowKind windowKindOf = Window::kind;

// One controller per window kind, each kept as the type its kind names. The type is always
// given explicitly: a controller is stored and read back as its interface, never as the
// class that implements it.
class WindowSet {
 public:
  // Registers `controller` for its kind, replacing the one before; a null one removes it.
  template <class Window>
  void set(std::type_identity_t<std::shared_ptr<Window>> controller) {
    if (controller) {
      controllers_[windowKindOf<Window>] = std::move(controller);
    } else {
      controllers_.erase(windowKindOf<Window>);
    }
  }
  void remove(WindowKind kind) { controllers_.erase(kind); }
  // The controller of the kind, or null when none is registered.
  template <class Window>
  std::shared_ptr<Window> get() const {
    const auto found = controllers_.find(windowKindOf<Window>);
    if (found == controllers_.end()) return nullptr;
    return std::static_pointer_cast<Window>(found->second);
  }
  bool has(WindowKind kind) const { return controllers_.contains(kind); }
  // The registered kinds, in the enumeration's order.
  std::vector<WindowKind> kinds() const {
    std::vector<WindowKind> all;
    for (const auto& [kind, controller] : controllers_) all.push_back(kind);
    return all;
  }

 private:
  std::map<WindowKind, std::shared_ptr<void>> controllers_;
};

}  // namespace vorlane
