#include "platform/services/wav_decoder.h"

#include <gtest/gtest.h>

#include "tests/platform/services/speech_fakes.h"

namespace vorlane {
namespace {

using testing::u16;
using testing::u32;
std::string chunk(const std::string& id, const std::string& body) {
  const std::string pad(body.size() % 2, '\0');
  return id + u32(std::uint32_t(body.size())) + body + pad;
}
// A mono 16 kHz format chunk, its body cut to `size` bytes.
std::string fmt(std::uint16_t codec, std::uint16_t bits, std::size_t size = 16) {
  const std::uint16_t frame = bits / 8;
  const std::string body =
      u16(codec) + u16(1) + u32(16000) + u32(16000u * frame) + u16(frame) + u16(bits);
  return chunk("fmt ", body.substr(0, size));
}
std::string riff(const std::string& chunks) {
  return "RIFF" + u32(std::uint32_t(4 + chunks.size())) + "WAVE" + chunks;
}

using Samples = std::optional<std::vector<std::int16_t>>;

// Clip files are read from disk: a damaged or foreign one gives no sound, never a crash.
TEST(WavDecoder, DecodesSixteenBitPcmAndRejectsDamagedOrForeignFiles) {
  const std::string pcm = fmt(1, 16), data = chunk("data", u16(1) + u16(0xfffe) + u16(0x7fff));
  const std::string whole = riff(pcm + data);
  const std::string overlong = riff(pcm) + "data" + u32(1000) + u16(5) + u16(6) + "\x01";
  const Samples written({1, -2, 32767});
  const std::tuple<const char*, std::string, Samples> rows[] = {
      {"plain mono", whole, written},
      {"odd-sized chunk skipped with its pad byte", riff(pcm + chunk("LIST", "abc") + data),
       written},
      {"data claiming more bytes than the file holds", overlong, Samples({5, 6})},
      {"empty file", "", std::nullopt},
      {"header cut short", whole.substr(0, 11), std::nullopt},
      {"file ends inside the fmt chunk", riff(pcm.substr(0, 20)), std::nullopt},
      {"fmt chunk too short", riff(fmt(1, 16, 14) + data), std::nullopt},
      {"RIFX instead of RIFF", "RIFX" + whole.substr(4), std::nullopt},
      {"AVI instead of WAVE", whole.substr(0, 8) + "AVI " + whole.substr(12), std::nullopt},
      {"float samples", riff(fmt(3, 32) + data), std::nullopt},
      {"extensible format tag", riff(fmt(0xfffe, 16) + data), std::nullopt},
      {"8-bit samples", riff(fmt(1, 8) + data), std::nullopt},
      {"no data chunk", riff(pcm), std::nullopt},
  };
  for (const auto& [name, bytes, samples] : rows) {
    const std::optional<PcmBuffer> sound = decodeWav(bytes);
    EXPECT_EQ(sound.has_value(), samples.has_value()) << name;
    if (!sound || !samples) continue;
    EXPECT_EQ(sound->sampleRate, 16000) << name;
    EXPECT_EQ(sound->channels, 1) << name;
    EXPECT_EQ(sound->samples, *samples) << name;
  }
}

}  // namespace
}  // namespace vorlane
