#pragma once

#include <cstdint>

namespace vorlane {

// A system-wide shortcut held by whichever means the session offers (an X key grab or the
// desktop portal); destroying it releases the shortcut.
class HotKeyHandle {
 public:
  virtual ~HotKeyHandle() = default;
  virtual std::uint32_t identifier() const = 0;
};

}  // namespace vorlane
