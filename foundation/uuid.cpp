#include "foundation/uuid.h"

#include <cstring>

#include "foundation/random.h"

namespace vorlane {
namespace {

constexpr char upperHex[] = "0123456789ABCDEF";
constexpr bool isHyphenAt(std::size_t i) { return i == 8 || i == 13 || i == 18 || i == 23; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

UUID UUID::random() {
  Bytes bytes{};
  SystemRandomGenerator source;
  for (std::size_t i = 0; i < bytes.size(); i += 8) {
    const std::uint64_t word = source.nextWord();
    std::memcpy(bytes.data() + i, &word, 8);
  }
  bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
  return UUID(bytes);
}

std::optional<UUID> UUID::fromString(std::string_view text) {
  if (text.size() != 36) return std::nullopt;
  Bytes bytes{};
  std::size_t nibble = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isHyphenAt(i)) {
      if (text[i] != '-') return std::nullopt;
      continue;
    }
    const int value = hexValue(text[i]);
    if (value < 0) return std::nullopt;
    bytes[nibble / 2] =
        static_cast<std::uint8_t>(bytes[nibble / 2] | (nibble % 2 ? value : value << 4));
    ++nibble;
  }
  return UUID(bytes);
}

std::string UUID::toString() const {
  std::string out;
  out.reserve(36);
  for (std::size_t i = 0; i < bytes_.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) out.push_back('-');
    out.push_back(upperHex[bytes_[i] >> 4]);
    out.push_back(upperHex[bytes_[i] & 0x0F]);
  }
  return out;
}

}  // namespace vorlane

std::size_t std::hash<vorlane::UUID>::operator()(const vorlane::UUID& id) const noexcept {
  // MurmurHash3's finaliser is a bijection, so ids that differ in only one half never collide.
  const auto mix = [](std::uint64_t k) {
    k ^= k >> 33;
    k *= 0xFF51AFD7ED558CCDULL;
    k ^= k >> 33;
    k *= 0xC4CEB9FE1A85EC53ULL;
    k ^= k >> 33;
    return k;
  };
  std::uint64_t high = 0;
  std::uint64_t low = 0;
  std::memcpy(&high, id.bytes().data(), 8);
  std::memcpy(&low, id.bytes().data() + 8, 8);
  return static_cast<std::size_t>(mix(high ^ mix(low + 0x9E3779B97F4A7C15ULL)));
}
