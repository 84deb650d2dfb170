#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/services/pcm_buffer.h"

namespace vorlane {

// An installed synthesiser voice. `language` is a BCP 47 code ("en-US").
struct SpeechVoice {
  std::string identifier;
  std::string name;
  std::string language;

  bool operator==(const SpeechVoice&) const = default;
};

// Turns text into sound. `synthesize` and `releaseResources` are called from one thread at a
// time (not necessarily the main one); `voices` from any thread.
class SynthesisEngine {
 public:
  SynthesisEngine() = default;
  SynthesisEngine(const SynthesisEngine&) = delete;
  SynthesisEngine& operator=(const SynthesisEngine&) = delete;
  virtual ~SynthesisEngine() = default;

  // The installed voices, in the engine's own order.
  virtual std::vector<SpeechVoice> voices() const = 0;
  // `voiceIdentifier` names one of `voices()`; none (or an unknown one) means the default
  // voice. `rate` is the settings' speech rate, 0 (slow) to 1 (fast), 0.5 normal. None when
  // the engine fails; empty text may give a sound with no samples.
  [[nodiscard]] virtual std::optional<PcmBuffer> synthesize(
      const std::string& text, const std::optional<std::string>& voiceIdentifier, float rate) = 0;
  // Gives back what the voices hold while speech is quiet; the next phrase reloads them.
  virtual void releaseResources() {}
};

}  // namespace vorlane
