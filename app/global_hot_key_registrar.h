#pragma once

#include "core/contracts/hot_key_registrar.h"
#include "platform/desktop/hot_keys/hot_key_backend.h"

namespace vorlane {

// Shortcuts the way the session allows: X key grabs on Qt's own connection, or the desktop
// portal's shortcuts on Wayland. A refused or impossible shortcut gives no registration; the
// backend has logged why.
class GlobalHotKeyRegistrar final : public HotKeyRegistrar {
 public:
  explicit GlobalHotKeyRegistrar(HotKeyBackend backend) : backend_(std::move(backend)) {}

  std::unique_ptr<HotKeyRegistration> registerHotKey(HotKeyCombination combination,
                                                     std::function<void()> handler) override;

 private:
  HotKeyBackend backend_;
};

}  // namespace vorlane
