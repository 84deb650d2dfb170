#pragma once

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <span>
#include <thread>

#include "platform/services/audio_output.h"
#include "platform/services/synthesis_engine.h"
#include "tests/support/temp_folder.h"

namespace vorlane::testing {

// An output that plays nothing: it records what it was given, and a test ends the sound
// with `finishCurrent()` (or any earlier sound with `finishAt()`), as the event loop would.
class FakeAudioOutput final : public AudioOutput {
 public:
  bool startResult = true;
  std::vector<PcmBuffer> played;    // each sound opened, with what was written to it
  std::vector<bool> closed;         // per sound: whether `close()` came
  std::vector<Finished> handedOut;  // every `finished` ever accepted, in order

  bool open(int sampleRate, int channels, Finished finished) override {
    stop();
    if (!startResult) return false;
    played.push_back({sampleRate, channels, {}});
    closed.push_back(false);
    handedOut.push_back(std::move(finished));
    playing_ = true;
    return true;
  }
  void write(std::span<const std::int16_t> samples) override {
    if (playing_)
      played.back().samples.insert(played.back().samples.end(), samples.begin(), samples.end());
  }
  void close() override {
    if (playing_) closed.back() = true;
  }
  void stop() override { playing_ = false; }
  bool isPlaying() const override { return playing_; }
  void finishCurrent(End end = End::played) {
    playing_ = false;
    finishAt(handedOut.size() - 1, end);
  }
  // Called through a copy: the callback may start the next sound and grow `handedOut`. An
  // earlier index is a late end, as a misbehaving device might deliver it.
  void finishAt(std::size_t index, End end = End::played) { Finished(handedOut.at(index))(end); }

 private:
  bool playing_ = false;
};

// An engine that returns a fixed sound (or a failure) and records every request.
struct FakeSynthesisEngine final : SynthesisEngine {
  struct Call {
    std::string text;
    std::optional<std::string> voice;
    float rate;
    int releasesBefore;  // how often the voices had been given back when the call came
  };
  std::optional<PcmBuffer> result = PcmBuffer{16000, 1, std::vector<std::int16_t>(1600, 1000)};
  std::vector<Call> calls;
  std::vector<std::thread::id> threads;  // where each call ran
  std::atomic<int> callCount = 0;
  // When set before speaking, each call waits for a permit from `allow` before it makes its
  // sound (half a minute at most, so that a fault cannot hang the tests).
  bool gated = false;
  std::atomic<int> releases = 0;               // counted on the synthesis thread
  std::function<void(const PcmBuffer&)> made;  // on the synthesis thread, with each sound
  void allow(int calls = 1) {
    {
      std::lock_guard lock(gateMutex_);
      permits_ += calls;
    }
    gateOpened_.notify_all();
  }
  std::vector<SpeechVoice> installed = {{"flite:slt", "slt", "en-US"},
                                        {"flite:awb", "awb", "en-GB"}};
  std::vector<SpeechVoice> voices() const override { return installed; }
  std::optional<PcmBuffer> synthesize(const std::string& text,
                                      const std::optional<std::string>& voice,
                                      float rate) override {
    calls.push_back({text, voice, rate, releases.load()});
    threads.push_back(std::this_thread::get_id());
    if (gated) {
      std::unique_lock lock(gateMutex_);
      if (gateOpened_.wait_for(lock, std::chrono::seconds(30), [this] { return permits_ > 0; })) {
        --permits_;
      }
    }
    ++callCount;
    std::optional<PcmBuffer> sound = result;
    if (sound && made) made(*sound);
    return sound;
  }
  void releaseResources() override { ++releases; }

 private:
  std::mutex gateMutex_;
  std::condition_variable gateOpened_;
  int permits_ = 0;
};

// Little-endian bytes, as RIFF files hold numbers.
inline std::string u16(std::uint16_t v) { return {char(v & 0xff), char(v >> 8)}; }
inline std::string u32(std::uint32_t v) {
  return u16(std::uint16_t(v)) + u16(std::uint16_t(v >> 16));
}

// A 16-bit PCM WAVE file's bytes, for clips written by the tests.
inline std::string wavFile(const PcmBuffer& sound) {
  std::string data;
  for (std::int16_t s : sound.samples) data += u16(std::uint16_t(s));
  const auto channels = std::uint16_t(sound.channels);
  const auto rate = std::uint32_t(sound.sampleRate);
  const std::string body = "WAVEfmt " + u32(16) + u16(1) + u16(channels) + u32(rate) +
                           u32(rate * channels * 2) + u16(std::uint16_t(channels * 2)) + u16(16) +
                           "data" + u32(std::uint32_t(data.size())) + data;
  return "RIFF" + u32(std::uint32_t(body.size())) + body;
}

// Root-mean-square level as a fraction of full scale; silence (or no sound) is 0.
inline double rmsLevel(const PcmBuffer& sound) {
  double sum = 0.0;
  for (std::int16_t s : sound.samples) sum += double(s) * double(s);
  return sound.samples.empty() ? 0.0 : std::sqrt(sum / double(sound.samples.size())) / 32768.0;
}

}  // namespace vorlane::testing
