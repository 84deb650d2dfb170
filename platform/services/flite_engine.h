#pragma once

#include <map>
#include <memory>

#include "platform/services/synthesis_engine.h"

struct cst_voice_struct;

namespace vorlane {

// libflite with the voices compiled into Debian's build: "flite:slt" (the default),
// "flite:rms", "flite:awb", "flite:kal" and "flite:kal16". libflite and each voice are opened
// when first spoken and closed by `releaseResources`. libflite is not re-entrant and keeps
// global state: make one engine per process.
class FliteEngine final : public SynthesisEngine {
 public:
  static constexpr const char* defaultVoiceIdentifier = "flite:slt";

  FliteEngine();
  ~FliteEngine() override;

  std::vector<SpeechVoice> voices() const override;
  [[nodiscard]] std::optional<PcmBuffer> synthesize(
      const std::string& text, const std::optional<std::string>& voiceIdentifier,
      float rate) override;
  // Closes the voices and libflite; the next phrase opens them again.
  void releaseResources() override;

 private:
  struct Library;
  struct LoadedVoice {
    void* library = nullptr;
    cst_voice_struct* voice = nullptr;
  };

  bool openLibrary();
  cst_voice_struct* voice(const std::string& identifier);

  std::unique_ptr<Library> library_;
  // Also the voices that failed to open (null), so each is tried once per opening.
  std::map<std::string, LoadedVoice> loaded_;
};

// libflite's "duration_stretch" for a speech rate: 2^(1 - 2r) with r clamped to [0, 1], so
// 0.5 speaks at the voice's own pace, 0 twice as long and 1 twice as fast. A non-finite rate
// counts as 0.5.
float durationStretch(float rate);

}  // namespace vorlane
