#include "platform/desktop/hot_keys/global_hot_key.h"

#include <xcb/xcb_keysyms.h>

#include <QCoreApplication>
#include <algorithm>
#include <cstdlib>

#include "platform/desktop/environment/system_environment.h"
#include "platform/desktop/hot_keys/hot_key_mapping.h"
#include "platform/desktop/windows/xcb_reply.h"
#include "platform/logging/log.h"

namespace vorlane {

namespace {

// Our own status for failures that have no X error code.
constexpr int noPlatformStatus = -1;
constexpr std::uint32_t keySymNumLock = 0xff7f;  // XK_Num_Lock

std::vector<xcb_keycode_t> keycodesFor(xcb_connection_t* c, std::uint32_t keySym) {
  std::vector<xcb_keycode_t> result;
  xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(c);
  if (symbols == nullptr) return result;
  // A list ending in XCB_NO_SYMBOL, allocated for us.
  std::unique_ptr<xcb_keycode_t, FreeDeleter> codes(xcb_key_symbols_get_keycode(symbols, keySym));
  for (const xcb_keycode_t* code = codes.get(); code != nullptr && *code != XCB_NO_SYMBOL; ++code) {
    if (std::find(result.begin(), result.end(), *code) == result.end()) result.push_back(*code);
  }
  xcb_key_symbols_free(symbols);
  return result;
}

// The modifier bit NumLock is mapped to; Mod2 when the mapping cannot be read.
std::uint16_t numLockMask(xcb_connection_t* c) {
  const std::vector<xcb_keycode_t> numLock = keycodesFor(c, keySymNumLock);
  if (numLock.empty()) return 0;
  std::unique_ptr<xcb_get_modifier_mapping_reply_t, FreeDeleter> mapping(
      xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
  if (!mapping) return x11_modifier::mod2;
  const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
  const int perModifier = mapping->keycodes_per_modifier;
  for (int modifier = 0; modifier < 8; ++modifier) {
    for (int i = 0; i < perModifier; ++i) {
      const xcb_keycode_t code = codes[modifier * perModifier + i];
      if (code != 0 && std::find(numLock.begin(), numLock.end(), code) != numLock.end()) {
        return std::uint16_t(1u << modifier);
      }
    }
  }
  return 0;
}

}  // namespace

GlobalHotKey::GlobalHotKey(Handler handler, std::uint32_t identifier)
    : handler_(std::make_shared<const Handler>(std::move(handler))), identifier_(identifier) {}

std::unique_ptr<GlobalHotKey> GlobalHotKey::create(std::uint32_t keySym,
                                                   Qt::KeyboardModifiers modifiers,
                                                   std::uint32_t identifier, Handler handler) {
  std::unique_ptr<GlobalHotKey> hotKey(new GlobalHotKey(std::move(handler), identifier));

  xcb_connection_t* connection = SystemEnvironment::qtConnection();
  if (connection == nullptr || xcb_connection_has_error(connection)) {
    Log::lifecycle().error("failed to install hotkey handler: %d", noPlatformStatus);
    return nullptr;
  }
  hotKey->connection_ = connection;
  QCoreApplication::instance()->installNativeEventFilter(hotKey.get());
  hotKey->filterInstalled_ = true;

  if (const int status = hotKey->registerGrabs(keySym, modifiers); status != 0) {
    Log::lifecycle().error("failed to register hotkey: %d", status);
    return nullptr;  // the destructor releases what was grabbed and removes the filter
  }
  Log::lifecycle().info("hotkey registered with identifier %u", identifier);
  return hotKey;
}

int GlobalHotKey::registerGrabs(std::uint32_t keySym, Qt::KeyboardModifiers modifiers) {
  const std::optional<std::uint16_t> mask = x11ModifiersFor(modifiers);
  if (!mask) return noPlatformStatus;
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
  if (screens.rem == 0) return noPlatformStatus;
  root_ = screens.data->root;
  modifiers_ = *mask;
  keycodes_ = keycodesFor(connection_, keySym);
  if (keycodes_.empty()) return noPlatformStatus;

  const std::vector<std::uint16_t> masks = lockVariants(modifiers_, numLockMask(connection_));
  for (const xcb_keycode_t keycode : keycodes_) {
    for (const std::uint16_t variant : masks) {
      const xcb_void_cookie_t cookie = xcb_grab_key_checked(
          connection_, 1, root_, variant, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
      std::unique_ptr<xcb_generic_error_t, FreeDeleter> error(
          xcb_request_check(connection_, cookie));
      if (error) return error->error_code;
      grabs_.push_back(Grab{keycode, variant});
    }
  }
  return 0;
}

void GlobalHotKey::ungrabAll() {
  if (connection_ == nullptr || grabs_.empty()) return;
  // Exactly the masks grabbed: XCB_MOD_MASK_ANY would drop grabs of other instances.
  for (const Grab& grab : grabs_) xcb_ungrab_key(connection_, grab.keycode, root_, grab.mask);
  grabs_.clear();
  xcb_flush(connection_);
}

GlobalHotKey::~GlobalHotKey() {
  ungrabAll();
  if (filterInstalled_ && QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeNativeEventFilter(this);
  }
}

bool GlobalHotKey::isOwnKey(xcb_keycode_t keycode) const {
  return std::find(keycodes_.begin(), keycodes_.end(), keycode) != keycodes_.end();
}

bool GlobalHotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (grabs_.empty() || message == nullptr || eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  const std::uint8_t type = event->response_type & 0x7f;
  if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
  const auto* key = static_cast<const xcb_key_press_event_t*>(message);
  if (!isOwnKey(key->detail)) return false;

  if (type == XCB_KEY_RELEASE) {
    repeats_.release(key->detail, key->time);
    return false;
  }
  if (!stateMatches(key->state, modifiers_)) return false;
  if (!repeats_.press(key->detail, key->time)) return true;
  if (key->event == root_) {
    // Another application had the keyboard. Qt takes the press's time as its latest user
    // time only if it sees the press, and a window the action opens is stamped with that
    // time: a stale one lets the window manager refuse it the focus. So Qt sees the press
    // (no window of ours is the root, so nothing else happens), and the action runs after.
    const std::weak_ptr<const Handler> weak = handler_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [weak] {
          const auto action = weak.lock();
          if (action && *action) (*action)();
        },
        Qt::QueuedConnection);
    return false;
  }
  // Reported to a window of ours, the press would reach it as typing: keep it from Qt. The
  // action may destroy this instance: call a copy and touch nothing afterwards.
  const auto action = handler_;
  if (*action) (*action)();
  return true;
}

}  // namespace vorlane
