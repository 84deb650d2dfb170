#include "platform/desktop/hot_keys/key_repeat_filter.h"

namespace vorlane {

bool KeyRepeatFilter::press(std::uint8_t keycode, std::uint32_t time) {
  const bool releasedJustNow =
      lastRelease_ && lastRelease_->keycode == keycode && lastRelease_->time == time;
  const bool stillDown = down_ && *down_ == keycode;
  down_ = keycode;
  lastRelease_.reset();
  return !releasedJustNow && !stillDown;
}

void KeyRepeatFilter::release(std::uint8_t keycode, std::uint32_t time) {
  if (down_ && *down_ == keycode) down_.reset();
  lastRelease_ = Release{keycode, time};
}

}  // namespace vorlane
