#pragma once

#include <cstdint>
#include <vector>

namespace vorlane {

// Decoded sound: interleaved signed 16-bit samples.
struct PcmBuffer {
  int sampleRate = 0;
  int channels = 1;
  std::vector<std::int16_t> samples;

  std::size_t frames() const { return channels > 0 ? samples.size() / std::size_t(channels) : 0; }
  double seconds() const { return sampleRate > 0 ? double(frames()) / sampleRate : 0.0; }
};

}  // namespace vorlane
