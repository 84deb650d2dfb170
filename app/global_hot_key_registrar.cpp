#include "app/global_hot_key_registrar.h"

#include "platform/desktop/global_hot_key.h"

namespace vorlane {
namespace {

// Holding the grab is being registered; dropping it ungrabs.
class GrabRegistration final : public HotKeyRegistration {
 public:
  explicit GrabRegistration(std::unique_ptr<GlobalHotKey> key) : key_(std::move(key)) {}

 private:
  std::unique_ptr<GlobalHotKey> key_;
};

}  // namespace

std::unique_ptr<HotKeyRegistration> GlobalHotKeyRegistrar::registerHotKey(
    HotKeyCombination combination, std::function<void()> handler) {
  auto key = GlobalHotKey::create(combination.keysym,
                                  Qt::KeyboardModifiers(static_cast<int>(combination.modifiers)),
                                  combination.identifier, std::move(handler));
  if (!key) return nullptr;
  return std::make_unique<GrabRegistration>(std::move(key));
}

}  // namespace vorlane
