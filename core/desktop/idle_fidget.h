#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>

#include "foundation/closed_range.h"
#include "foundation/random.h"

namespace vorlane {

// A small movement the idle mascot makes now and then, and the rules for choosing the next
// one. The caller owns the timer and the generator.
class IdleFidget {
 public:
  enum Case { sway, lookAround, scratchHead, wave, kick, swing };

  // Implicit, so that a case reads as a value: `IdleFidget last = IdleFidget::wave`.
  constexpr IdleFidget(Case value) : value_(value) {}
  constexpr Case value() const { return value_; }

  // The six cases in the order `pick` considers them.
  static constexpr std::array<IdleFidget, 6> allCases();

  // True for the movements that leave the hands on the sign held during a session.
  bool keepsHandsOnSign() const { return value_ == sway || value_ == lookAround; }

  // Seconds to wait before the next movement.
  static constexpr ClosedRange<double> delayRange{12.0, 42.0};

  // One uniform draw from `delayRange`, both ends reachable.
  static double nextDelay(RandomGenerator& generator);

  // The next movement, weighted among those allowed: only hand-on-sign movements while the
  // sign is held, and never the previous one again unless it is `sway`. One draw, always.
  static IdleFidget pick(std::optional<IdleFidget> previous, bool holdingSign,
                         RandomGenerator& generator);

  constexpr bool operator==(const IdleFidget&) const = default;

 private:
  Case value_;
};

constexpr std::array<IdleFidget, 6> IdleFidget::allCases() {
  return {sway, lookAround, scratchHead, wave, kick, swing};
}

}  // namespace vorlane

template <>
struct std::hash<vorlane::IdleFidget> {
  std::size_t operator()(vorlane::IdleFidget fidget) const noexcept {
    return std::hash<int>{}(static_cast<int>(fidget.value()));
  }
};
