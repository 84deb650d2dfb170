#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "core/contracts/hot_key_registrar.h"

namespace vorlane {

// Registers shortcuts in memory. A combination marked taken is refused, as when another
// program holds it; press() runs the handler of a live registration.
class FakeHotKeyRegistrar final : public HotKeyRegistrar {
 public:
  std::unique_ptr<HotKeyRegistration> registerHotKey(HotKeyCombination combination,
                                                     std::function<void()> handler) override {
    if (taken.count(combination.identifier)) return nullptr;
    auto live = std::make_shared<bool>(true);
    handlers_[combination.identifier] = {std::move(handler), live};
    return std::make_unique<Registration>(live);
  }

  // Presses the shortcut kept under `identifier`; false when none is registered.
  bool press(std::uint32_t identifier) {
    const auto found = handlers_.find(identifier);
    if (found == handlers_.end() || !*found->second.live) return false;
    const auto handler = found->second.handler;
    if (handler) handler();
    return true;
  }
  bool isRegistered(std::uint32_t identifier) const {
    const auto found = handlers_.find(identifier);
    return found != handlers_.end() && *found->second.live;
  }

  std::set<std::uint32_t> taken;

 private:
  struct Registration final : HotKeyRegistration {
    explicit Registration(std::shared_ptr<bool> live) : live_(std::move(live)) {}
    ~Registration() override { *live_ = false; }
    std::shared_ptr<bool> live_;
  };
  struct Entry {
    std::function<void()> handler;
    std::shared_ptr<bool> live;
  };
  std::map<std::uint32_t, Entry> handlers_;
};

}  // namespace vorlane
