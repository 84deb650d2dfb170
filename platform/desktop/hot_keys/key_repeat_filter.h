#pragma once

#include <cstdint>
#include <optional>

namespace vorlane {

// Tells a physical key press from the presses a held key repeats. Without detectable
// auto-repeat X sends each repeat as a release and a press with the same time stamp; with
// it, as presses without releases. Either way one physical press gives one `true`.
class KeyRepeatFilter {
 public:
  // Whether this press is a new physical press.
  bool press(std::uint8_t keycode, std::uint32_t time);
  void release(std::uint8_t keycode, std::uint32_t time);

 private:
  struct Release {
    std::uint8_t keycode;
    std::uint32_t time;
  };
  std::optional<std::uint8_t> down_;
  std::optional<Release> lastRelease_;
};

}  // namespace vorlane
