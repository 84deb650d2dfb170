#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

// A 128-bit identifier. Fresh ones are version-4 bytes from the system's random source,
// never from a caller's generator.
class UUID {
 public:
  using Bytes = std::array<std::uint8_t, 16>;

  // The nil identifier (all zero).
  constexpr UUID() = default;
  constexpr explicit UUID(const Bytes& bytes) : bytes_(bytes) {}

  // A fresh random identifier.
  static UUID random();
  // Reads the 36-character hyphenated form in either case; anything else gives none.
  static std::optional<UUID> fromString(std::string_view text);

  // The 36-character hyphenated form in upper case.
  std::string toString() const;
  const Bytes& bytes() const { return bytes_; }

  constexpr auto operator<=>(const UUID&) const = default;

 private:
  Bytes bytes_{};
};

}  // namespace vorlane

template <>
struct std::hash<vorlane::UUID> {
  std::size_t operator()(const vorlane::UUID& id) const noexcept;
};
