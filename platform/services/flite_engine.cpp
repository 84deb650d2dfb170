#include "platform/services/flite_engine.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <mutex>

#include <dlfcn.h>

extern "C" {
#include <flite/flite.h>
}

namespace vorlane {
namespace {

struct FliteVoice {
  const char* identifier;
  const char* name;
  // libflite names no language; these are the voices' accents.
  const char* language;
  // Opened on first use: linked in, each voice's relocated tables cost over a megabyte of
  // resident memory from the start, spoken or not.
  const char* library;
  const char* registerSymbol;
};

constexpr FliteVoice fliteVoices[] = {
    {"flite:slt", "slt", "en-US", "libflite_cmu_us_slt.so.1", "register_cmu_us_slt"},
    {"flite:rms", "rms", "en-US", "libflite_cmu_us_rms.so.1", "register_cmu_us_rms"},
    {"flite:awb", "awb", "en-GB", "libflite_cmu_us_awb.so.1", "register_cmu_us_awb"},
    {"flite:kal", "kal", "en-US", "libflite_cmu_us_kal.so.1", "register_cmu_us_kal"},
    {"flite:kal16", "kal16", "en-US", "libflite_cmu_us_kal16.so.1", "register_cmu_us_kal16"},
};

// The voice from its library, kept loaded for the process; none when either is missing.
cst_voice* loadVoice(const FliteVoice& v) {
  void* library = dlopen(v.library, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return nullptr;
  using Register = cst_voice* (*)(const char*);
  auto registerVoice = reinterpret_cast<Register>(dlsym(library, v.registerSymbol));
  return registerVoice != nullptr ? registerVoice(nullptr) : nullptr;
}

// libflite reports internal errors by exiting the process unless a jump target is set.
// Kept free of C++ objects, so the jump skips no destructor.
cst_wave* synthesizeGuarded(const char* text, cst_voice* voice) {
  static std::jmp_buf target;
  cst_errjmp = &target;
  if (setjmp(target) != 0) {
    cst_errjmp = nullptr;
    return nullptr;
  }
  cst_wave* wave = flite_text_to_wave(text, voice);
  cst_errjmp = nullptr;
  return wave;
}

}  // namespace

float durationStretch(float rate) {
  const float r = std::isfinite(rate) ? std::clamp(rate, 0.0f, 1.0f) : 0.5f;
  return std::exp2(1.0f - 2.0f * r);
}

FliteEngine::FliteEngine() {
  static std::once_flag initialised;
  std::call_once(initialised, [] { flite_init(); });
}

std::vector<SpeechVoice> FliteEngine::voices() const {
  std::vector<SpeechVoice> result;
  for (const FliteVoice& v : fliteVoices) {
    result.push_back({v.identifier, v.name, v.language});
  }
  return result;
}

cst_voice* FliteEngine::voice(const std::string& identifier) {
  const auto found = loaded_.find(identifier);
  if (found != loaded_.end()) {
    return found->second;
  }
  for (const FliteVoice& v : fliteVoices) {
    if (identifier == v.identifier) {
      cst_voice* voice = loadVoice(v);
      loaded_.emplace(identifier, voice);
      return voice;
    }
  }
  return nullptr;
}

std::optional<PcmBuffer> FliteEngine::synthesize(const std::string& text,
                                                 const std::optional<std::string>& voiceIdentifier,
                                                 float rate) {
  cst_voice* chosen = voiceIdentifier ? voice(*voiceIdentifier) : nullptr;
  if (chosen == nullptr) {
    chosen = voice(defaultVoiceIdentifier);
  }
  if (chosen == nullptr) {
    return std::nullopt;
  }
  feat_set_float(chosen->features, "duration_stretch", durationStretch(rate));
  cst_wave* wave = synthesizeGuarded(text.c_str(), chosen);
  if (wave == nullptr) {
    return std::nullopt;
  }
  PcmBuffer sound;
  sound.sampleRate = wave->sample_rate;
  sound.channels = std::max(1, wave->num_channels);
  if (wave->samples != nullptr && wave->num_samples > 0) {
    sound.samples.assign(wave->samples, wave->samples + std::size_t(wave->num_samples) *
                                                            std::size_t(sound.channels));
  }
  delete_wave(wave);
  return sound;
}

}  // namespace vorlane
