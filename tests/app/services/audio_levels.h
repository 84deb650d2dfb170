#pragma once

#include <cmath>
#include <cstdint>

#include "app/services/pcm_buffer.h"

namespace vorlane::testing {

// Root-mean-square level as a fraction of full scale; silence is 0.
inline double rmsLevel(const PcmBuffer& sound) {
  if (sound.samples.empty()) {
    return 0.0;
  }
  double sum = 0.0;
  for (std::int16_t s : sound.samples) {
    sum += double(s) * double(s);
  }
  return std::sqrt(sum / double(sound.samples.size())) / 32768.0;
}

}  // namespace vorlane::testing
