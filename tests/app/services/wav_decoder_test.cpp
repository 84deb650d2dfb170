#include "app/services/wav_decoder.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

std::string u32(std::uint32_t v) {
  return {char(v & 0xff), char(v >> 8 & 0xff), char(v >> 16 & 0xff), char(v >> 24)};
}
std::string u16(std::uint16_t v) { return {char(v & 0xff), char(v >> 8)}; }

std::string chunk(const std::string& id, const std::string& body, bool pad = true) {
  std::string c = id + u32(std::uint32_t(body.size())) + body;
  if (pad && body.size() % 2 == 1) {
    c += '\0';
  }
  return c;
}

std::string fmtBody(std::uint16_t codec, std::uint16_t channels, std::uint32_t rate,
                    std::uint16_t bits) {
  return u16(codec) + u16(channels) + u32(rate) + u32(rate * channels * bits / 8) +
         u16(std::uint16_t(channels * bits / 8)) + u16(bits);
}

std::string samples(const std::vector<std::int16_t>& values) {
  std::string s;
  for (std::int16_t v : values) {
    s += u16(std::uint16_t(v));
  }
  return s;
}

std::string riff(const std::string& chunks) { return "RIFF" + u32(std::uint32_t(4 + chunks.size())) + "WAVE" + chunks; }

const std::string monoFmt = chunk("fmt ", fmtBody(1, 1, 16000, 16));
const std::string someData = chunk("data", samples({1, -2, 32767, -32768}));

TEST(WavDecoder, ReadsSamplesRateAndChannels) {
  struct Row {
    const char* name;
    std::string bytes;
    int rate;
    int channels;
    std::vector<std::int16_t> samples;
  };
  const Row rows[] = {
      {"mono", riff(monoFmt + someData), 16000, 1, {1, -2, 32767, -32768}},
      {"stereo", riff(chunk("fmt ", fmtBody(1, 2, 44100, 16)) + someData), 44100, 2,
       {1, -2, 32767, -32768}},
      {"odd-sized chunk before the data is skipped with its pad byte",
       riff(monoFmt + chunk("LIST", "abc") + someData), 16000, 1, {1, -2, 32767, -32768}},
      {"data before fmt", riff(someData + monoFmt), 16000, 1, {1, -2, 32767, -32768}},
      {"longer fmt chunk (cbSize)", riff(chunk("fmt ", fmtBody(1, 1, 8000, 16) + u16(0)) + someData),
       8000, 1, {1, -2, 32767, -32768}},
      {"data size beyond the file keeps the whole frames present",
       riff(monoFmt) + "data" + u32(1000) + samples({5, 6, 7}) + "\x01", 16000, 1, {5, 6, 7}},
      {"stereo with a half frame at the end",
       riff(chunk("fmt ", fmtBody(1, 2, 16000, 16)) + chunk("data", samples({1, 2, 3}))), 16000,
       2, {1, 2}},
      {"empty data", riff(monoFmt + chunk("data", "")), 16000, 1, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::optional<PcmBuffer> decoded = decodeWav(row.bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->sampleRate, row.rate);
    EXPECT_EQ(decoded->channels, row.channels);
    EXPECT_EQ(decoded->samples, row.samples);
  }
}

TEST(WavDecoder, RejectsWhatIsNotSixteenBitPcmWave) {
  struct Row {
    const char* name;
    std::string bytes;
  };
  const std::string whole = riff(monoFmt + someData);
  const Row rows[] = {
      {"empty", ""},
      {"header cut short", whole.substr(0, 11)},
      {"not RIFF", "RIFX" + whole.substr(4)},
      {"not WAVE", whole.substr(0, 8) + "AVI " + whole.substr(12)},
      {"8-bit samples", riff(chunk("fmt ", fmtBody(1, 1, 16000, 8)) + someData)},
      {"32-bit float", riff(chunk("fmt ", fmtBody(3, 1, 16000, 32)) + someData)},
      {"no channels", riff(chunk("fmt ", fmtBody(1, 0, 16000, 16)) + someData)},
      {"zero rate", riff(chunk("fmt ", fmtBody(1, 1, 0, 16)) + someData)},
      {"fmt too short", riff(chunk("fmt ", fmtBody(1, 1, 16000, 16).substr(0, 14)) + someData)},
      {"fmt cut off by the end of the file", riff(monoFmt.substr(0, 20))},
      {"no fmt", riff(someData)},
      {"no data", riff(monoFmt)},
      {"text file", "It's four o'clock\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_FALSE(decodeWav(row.bytes).has_value());
  }
}

}  // namespace
}  // namespace vorlane
