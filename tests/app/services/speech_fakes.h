#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/services/audio_output.h"
#include "app/services/synthesis_engine.h"

namespace vorlane::testing {

// An output that plays nothing: it records what it was given, and a test ends the sound
// with `finishCurrent()` (or any earlier sound with `finishAt()`), as the event loop would.
class FakeAudioOutput final : public AudioOutput {
 public:
  bool startResult = true;
  std::vector<PcmBuffer> played;
  std::vector<Finished> handedOut;  // every `finished` ever accepted, in order
  int stops = 0;

  bool play(const PcmBuffer& sound, Finished finished) override {
    stop();
    if (!startResult) {
      return false;
    }
    played.push_back(sound);
    handedOut.push_back(std::move(finished));
    playing_ = true;
    return true;
  }
  void stop() override {
    ++stops;
    playing_ = false;
  }
  bool isPlaying() const override { return playing_; }

  // Called through copies: the callback may start the next sound and grow `handedOut`.
  void finishCurrent() {
    playing_ = false;
    Finished finished = handedOut.back();
    finished();
  }
  // A late end of an earlier sound, as a misbehaving device might deliver it.
  void finishAt(std::size_t index) {
    Finished finished = handedOut.at(index);
    finished();
  }

 private:
  bool playing_ = false;
};

struct SynthesisCall {
  std::string text;
  std::optional<std::string> voice;
  float rate = 0;
};

// An engine that returns a fixed sound (or a failure) and records every request.
class FakeSynthesisEngine final : public SynthesisEngine {
 public:
  std::vector<SpeechVoice> installed{{"flite:slt", "slt", "en-US"}, {"flite:awb", "awb", "en-GB"}};
  std::optional<PcmBuffer> result = PcmBuffer{16000, 1, std::vector<std::int16_t>(1600, 1000)};
  std::vector<SynthesisCall> calls;

  std::vector<SpeechVoice> voices() const override { return installed; }
  std::optional<PcmBuffer> synthesize(const std::string& text,
                                      const std::optional<std::string>& voiceIdentifier,
                                      float rate) override {
    calls.push_back({text, voiceIdentifier, rate});
    return result;
  }
};

// A 16-bit PCM WAVE file's bytes, for clips written by the tests.
inline std::string wavFile(const PcmBuffer& sound) {
  auto u32 = [](std::uint32_t v) {
    return std::string{char(v & 0xff), char(v >> 8 & 0xff), char(v >> 16 & 0xff), char(v >> 24)};
  };
  auto u16 = [](std::uint16_t v) { return std::string{char(v & 0xff), char(v >> 8)}; };
  std::string data;
  for (std::int16_t s : sound.samples) {
    data += u16(std::uint16_t(s));
  }
  const auto channels = std::uint16_t(sound.channels);
  const auto rate = std::uint32_t(sound.sampleRate);
  std::string fmt = u16(1) + u16(channels) + u32(rate) + u32(rate * channels * 2) +
                    u16(std::uint16_t(channels * 2)) + u16(16);
  std::string body = "WAVE" + std::string("fmt ") + u32(16) + fmt + "data" +
                     u32(std::uint32_t(data.size())) + data;
  return "RIFF" + u32(std::uint32_t(body.size())) + body;
}

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace vorlane::testing
