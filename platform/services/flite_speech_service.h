#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/contracts/speech_service.h"
#include "core/settings/preferences_store.h"
#include "foundation/calendar.h"
#include "platform/services/audio_output.h"
#include "platform/services/background_synthesis.h"
#include "platform/services/bundled_speech.h"
#include "platform/services/resource_locator.h"
#include "platform/services/synthesis_engine.h"
#include "platform/services/voice_catalogue.h"

namespace vorlane {

// Speaks visit phrases: with the synthesiser in the chosen voice and rate, or, for the plain
// time announcement on a full or half hour with the recorded-clip voice, with a recording.
// The settings are read afresh on every `speak`. Main thread only; the synthesis itself runs
// on a thread of its own, piece by piece, and each piece is played as soon as it is made, so
// `speak` returns at once whatever the text's length.
//
// Completions: with speech switched off, before `speak` returns; otherwise once, from the
// event loop, when the phrase has ended. A synthesised phrase cut off by `stop()` still
// completes (as a cancel); one replaced by a newer phrase is dropped uncalled, as is a clip
// cut short by `stop()` or by another clip.
//
// A phrase or clip that finds no output says so at error level once, then at debug level
// until a sound is heard again.
class FliteSpeechService final : public SpeechService, public VoiceCatalogue {
 public:
  struct Dependencies {
    std::unique_ptr<SynthesisEngine> engine;
    std::unique_ptr<AudioOutput> speechOutput;
    std::unique_ptr<AudioOutput> clipOutput;
    ResourceLocator locator;
    std::function<Calendar()> calendar;
    // How long after the last synthesis the engine gives back its voices.
    int voiceReleaseDelayMs = 10000;
  };

  // libflite, the default audio device, the standard sound folders, the user's calendar.
  explicit FliteSpeechService(PreferencesStore& preferencesStore);
  FliteSpeechService(PreferencesStore& preferencesStore, Dependencies dependencies);
  ~FliteSpeechService() override;

  using SpeechService::speak;
  void speak(const std::string& text, std::optional<Date> moment, Completion completion) override;
  bool isSpeaking() const override;
  // Stops the synthesiser and the clip at once and restores other audio.
  void stop() override;

  // The English voices ("en" language prefix, case-sensitive), stably sorted by name in
  // code-point order.
  std::vector<SpeechVoice> availableVoices() const override;
  // Looks for the clips where this service would play them from.
  bool hasRecordedClips() const override;

 private:
  struct Utterance {
    std::uint64_t id = 0;
    Completion completion;
    bool opened = false;  // the output has been given its first piece
  };

  bool playClip(const Preferences& preferences, std::optional<Date> moment, Completion& completion);
  void synthesize(const std::string& text, const Preferences& preferences, Completion completion);
  void pieceReady(std::uint64_t id, const std::optional<PcmBuffer>& sound, bool last);
  void utteranceEnded(std::uint64_t id);
  void outputEnded(AudioOutput::End end);
  void later(std::function<void()> work);
  void duckOtherAudio(bool on);

  PreferencesStore& preferencesStore_;
  std::unique_ptr<AudioOutput> speechOutput_;
  ResourceLocator locator_;
  std::function<Calendar()> calendar_;
  BundledSpeech bundled_;
  std::optional<Utterance> speaking_;
  std::uint64_t lastUtteranceID_ = 0;
  bool outputMissing_ = false;
  // Receiver of deferred work; destroying it discards what is still queued.
  QObject context_;
  QTimer voiceRelease_;
  // Declared last, so gone first: no piece still queued can reach a service half destroyed.
  BackgroundSynthesis synthesis_;
};

}  // namespace vorlane
