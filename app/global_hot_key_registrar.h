#pragma once

#include "coordination/hot_key_registrar.h"

namespace vorlane {

// Shortcuts as X key grabs on Qt's own connection (GlobalHotKey). A refused or impossible
// grab gives no registration; GlobalHotKey has logged why.
class GlobalHotKeyRegistrar final : public HotKeyRegistrar {
 public:
  std::unique_ptr<HotKeyRegistration> registerHotKey(HotKeyCombination combination,
                                                     std::function<void()> handler) override;
};

}  // namespace vorlane
