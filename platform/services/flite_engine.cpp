#include "platform/services/flite_engine.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <memory>
#include <string>

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
  // Opened on first use and closed when speech has been quiet a while: each voice's
  // relocated tables cost megabytes of resident memory.
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

// Unregisters a voice from its library and closes the library.
void closeVoice(void* library, const char* registerSymbol, cst_voice* voice) {
  using Unregister = void (*)(cst_voice*);
  const std::string unregisterSymbol = std::string("un") + registerSymbol;
  auto unregisterVoice = reinterpret_cast<Unregister>(dlsym(library, unregisterSymbol.c_str()));
  if (voice != nullptr && unregisterVoice != nullptr) unregisterVoice(voice);
  dlclose(library);
}

// libflite reports internal errors by exiting the process unless a jump target is set.
// Kept free of C++ objects, so the jump skips no destructor.
cst_wave* synthesizeGuarded(const char* text, cst_voice* voice, jmp_buf** errorTarget,
                            cst_wave* (*textToWave)(const char*, cst_voice*)) {
  static std::jmp_buf target;
  *errorTarget = &target;
  if (setjmp(target) != 0) {
    *errorTarget = nullptr;
    return nullptr;
  }
  cst_wave* wave = textToWave(text, voice);
  *errorTarget = nullptr;
  return wave;
}

}  // namespace

float durationStretch(float rate) {
  const float r = std::isfinite(rate) ? std::clamp(rate, 0.0f, 1.0f) : 0.5f;
  return std::exp2(1.0f - 2.0f * r);
}

// libflite's entry points, looked up in the library opened for the loaded voices.
struct FliteEngine::Library {
  void* handle = nullptr;
  jmp_buf** errorTarget = nullptr;
  cst_wave* (*textToWave)(const char*, cst_voice*) = nullptr;
  void (*setFloat)(cst_features*, const char*, float) = nullptr;
  void (*deleteWave)(cst_wave*) = nullptr;
};

FliteEngine::FliteEngine() = default;

FliteEngine::~FliteEngine() { releaseResources(); }

bool FliteEngine::openLibrary() {
  if (library_) return true;
  void* handle = dlopen("libflite.so.1", RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return false;
  Library library{
      handle, reinterpret_cast<jmp_buf**>(dlsym(handle, "cst_errjmp")),
      reinterpret_cast<cst_wave* (*)(const char*, cst_voice*)>(dlsym(handle, "flite_text_to_wave")),
      reinterpret_cast<void (*)(cst_features*, const char*, float)>(
          dlsym(handle, "feat_set_float")),
      reinterpret_cast<void (*)(cst_wave*)>(dlsym(handle, "delete_wave"))};
  auto init = reinterpret_cast<int (*)()>(dlsym(handle, "flite_init"));
  if (library.errorTarget == nullptr || library.textToWave == nullptr ||
      library.setFloat == nullptr || library.deleteWave == nullptr || init == nullptr) {
    dlclose(handle);
    return false;
  }
  init();
  library_ = std::make_unique<Library>(library);
  return true;
}

void FliteEngine::releaseResources() {
  // The voices first: they use libflite's tables.
  for (const auto& [identifier, loaded] : loaded_) {
    for (const FliteVoice& v : fliteVoices) {
      if (identifier == v.identifier && loaded.library != nullptr) {
        closeVoice(loaded.library, v.registerSymbol, loaded.voice);
      }
    }
  }
  loaded_.clear();
  if (library_) {
    dlclose(library_->handle);
    library_.reset();
  }
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
    return found->second.voice;
  }
  for (const FliteVoice& v : fliteVoices) {
    if (identifier == v.identifier) {
      LoadedVoice loaded;
      if (openLibrary()) {
        loaded.library = dlopen(v.library, RTLD_NOW | RTLD_LOCAL);
      }
      using Register = cst_voice* (*)(const char*);
      auto registerVoice = loaded.library != nullptr
                               ? reinterpret_cast<Register>(dlsym(loaded.library, v.registerSymbol))
                               : nullptr;
      loaded.voice = registerVoice != nullptr ? registerVoice(nullptr) : nullptr;
      loaded_.emplace(identifier, loaded);
      return loaded.voice;
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
  library_->setFloat(chosen->features, "duration_stretch", durationStretch(rate));
  cst_wave* wave =
      synthesizeGuarded(text.c_str(), chosen, library_->errorTarget, library_->textToWave);
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
  library_->deleteWave(wave);
  return sound;
}

}  // namespace vorlane
