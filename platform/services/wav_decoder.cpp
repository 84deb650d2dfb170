#include "platform/services/wav_decoder.h"

#include <algorithm>
#include <cstdint>

namespace vorlane {
namespace {

std::uint32_t readU32(std::string_view b, std::size_t at) {
  return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
         std::uint32_t(std::uint8_t(b[at + 2])) << 16 |
         std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

std::uint16_t readU16(std::string_view b, std::size_t at) {
  return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}

constexpr std::uint16_t formatPcm = 1;
constexpr std::size_t maxChannels = 8;

}  // namespace

std::optional<PcmBuffer> decodeWav(std::string_view bytes) {
  if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
    return std::nullopt;
  }
  std::optional<PcmBuffer> format;
  std::optional<std::string_view> data;
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::string_view id = bytes.substr(at, 4);
    const std::uint64_t size = readU32(bytes, at + 4);
    const std::size_t body = at + 8;
    const std::size_t available = bytes.size() - body;
    if (id == "fmt ") {
      if (size < 16 || size > available) {
        return std::nullopt;
      }
      const std::uint16_t codec = readU16(bytes, body);
      const std::uint16_t channels = readU16(bytes, body + 2);
      const std::uint32_t rate = readU32(bytes, body + 4);
      const std::uint16_t bits = readU16(bytes, body + 14);
      if (codec != formatPcm || bits != 16 || channels == 0 || channels > maxChannels ||
          rate == 0 || rate > 384000) {
        return std::nullopt;
      }
      format = PcmBuffer{int(rate), int(channels), {}};
    } else if (id == "data") {
      // Streamed writers leave the size unset; take what the file holds.
      data = bytes.substr(body, std::size_t(std::min<std::uint64_t>(size, available)));
    }
    if (size >= available) {
      break;
    }
    at = body + std::size_t(size) + std::size_t(size & 1);
  }
  if (!format || !data) {
    return std::nullopt;
  }
  const std::size_t frameBytes = 2 * std::size_t(format->channels);
  const std::size_t count = data->size() / frameBytes * std::size_t(format->channels);
  format->samples.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    format->samples[i] = std::int16_t(readU16(*data, 2 * i));
  }
  return format;
}

}  // namespace vorlane
