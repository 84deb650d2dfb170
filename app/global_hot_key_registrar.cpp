#include "app/global_hot_key_registrar.h"

namespace vorlane {
namespace {

// Holding the shortcut is being registered; dropping it releases the key.
class HandleRegistration final : public HotKeyRegistration {
 public:
  explicit HandleRegistration(std::unique_ptr<HotKeyHandle> key) : key_(std::move(key)) {}

 private:
  std::unique_ptr<HotKeyHandle> key_;
};

}  // namespace

std::unique_ptr<HotKeyRegistration> GlobalHotKeyRegistrar::registerHotKey(
    HotKeyCombination combination, std::function<void()> handler) {
  auto key = backend_.create(combination.keysym,
                             Qt::KeyboardModifiers(static_cast<int>(combination.modifiers)),
                             combination.identifier, std::move(handler));
  if (!key) return nullptr;
  return std::make_unique<HandleRegistration>(std::move(key));
}

}  // namespace vorlane
