#pragma once

namespace vorlane {

// A range holding both of its bounds, such as the 12...42 seconds of a random delay.
template <typename T>
struct ClosedRange {
  T lowerBound;
  T upperBound;

  constexpr bool contains(T value) const { return lowerBound <= value && value <= upperBound; }
  constexpr bool operator==(const ClosedRange&) const = default;
};

}  // namespace vorlane
