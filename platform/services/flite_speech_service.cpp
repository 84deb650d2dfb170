#include "platform/services/flite_speech_service.h"

#include <malloc.h>

#include <algorithm>

#include "core/visits/phrase_formatter.h"
#include "platform/logging/log.h"
#include "platform/services/flite_engine.h"
#include "platform/services/main_thread.h"
#include "platform/services/process_audio_output.h"

namespace vorlane {

FliteSpeechService::FliteSpeechService(PreferencesStore& preferencesStore)
    : FliteSpeechService(
          preferencesStore,
          Dependencies{std::make_unique<FliteEngine>(), std::make_unique<ProcessAudioOutput>(),
                       std::make_unique<ProcessAudioOutput>(), ResourceLocator::standard(),
                       [] { return Calendar::current(); }}) {}

FliteSpeechService::FliteSpeechService(PreferencesStore& preferencesStore,
                                       Dependencies dependencies)
    : preferencesStore_(preferencesStore),
      engine_(std::move(dependencies.engine)),
      speechOutput_(std::move(dependencies.speechOutput)),
      locator_(std::move(dependencies.locator)),
      calendar_(std::move(dependencies.calendar)),
      bundled_(std::move(dependencies.clipOutput)) {
  // Speech comes a few times an hour; between phrases the voices' megabytes go back.
  voiceRelease_.setSingleShot(true);
  voiceRelease_.setInterval(dependencies.voiceReleaseDelayMs);
  QObject::connect(&voiceRelease_, &QTimer::timeout, &context_, [this] {
    engine_->releaseResources();
    malloc_trim(0);
  });
}

FliteSpeechService::~FliteSpeechService() = default;

void FliteSpeechService::speak(const std::string& text, std::optional<Date> moment,
                               Completion completion) {
  Q_ASSERT(isMainThread());
  const Preferences preferences = preferencesStore_.preferences();
  if (!preferences.speechEnabled) {
    if (completion) {
      completion();
    }
    return;
  }
  if (playClip(preferences, moment, completion)) {
    return;
  }
  synthesize(text, preferences, std::move(completion));
}

bool FliteSpeechService::playClip(const Preferences& preferences, std::optional<Date> moment,
                                  Completion& completion) {
  if (preferences.voiceIdentifier != BundledSpeech::voiceIdentifier ||
      preferences.phraseTemplate != PhraseFormatter::defaultTemplate || !moment) {
    return false;
  }
  const std::optional<std::filesystem::path> url =
      BundledSpeech::clipURL(*moment, calendar_(), locator_);
  if (!url) {
    return false;
  }
  duckOtherAudio(true);
  // A copy: when the clip does not start, the caller's completion rides on the synthesiser.
  const bool started = bundled_.play(*url, [this, completion] {
    duckOtherAudio(false);
    if (completion) {
      completion();
    }
  });
  if (!started) {
    duckOtherAudio(false);
  }
  return started;
}

void FliteSpeechService::synthesize(const std::string& text, const Preferences& preferences,
                                    Completion completion) {
  // One phrase at a time: a newer phrase cuts off the one still speaking, whose completion
  // is dropped, so it can never answer for the newer one.
  if (speaking_) {
    speechOutput_->stop();
    speaking_.reset();
    duckOtherAudio(false);
  }
  const std::uint64_t id = ++lastUtteranceId_;
  speaking_ = Utterance{id, std::move(completion)};

  std::optional<std::string> voice;
  if (preferences.voiceIdentifier &&
      *preferences.voiceIdentifier != BundledSpeech::voiceIdentifier) {
    const std::vector<SpeechVoice> installed = engine_->voices();
    const bool known = std::any_of(installed.begin(), installed.end(), [&](const SpeechVoice& v) {
      return v.identifier == *preferences.voiceIdentifier;
    });
    if (known) {
      voice = preferences.voiceIdentifier;
    }
  }
  Log::speech().info("speaking: %{public}s", text);
  duckOtherAudio(true);

  auto end = [this, id] { utteranceEnded(id); };
  const std::optional<PcmBuffer> sound = engine_->synthesize(text, voice, preferences.speechRate);
  voiceRelease_.start();
  if (!sound) {
    Log::speech().error("speech synthesis failed");
    later(end);
  } else if (sound->samples.empty()) {
    later(end);
  } else if (!speechOutput_->play(*sound, end)) {
    Log::speech().error("no audio output for speech");
    later(end);
  }
}

void FliteSpeechService::utteranceEnded(std::uint64_t id) {
  Q_ASSERT(isMainThread());
  if (!speaking_ || speaking_->id != id) {
    return;
  }
  duckOtherAudio(false);
  Completion completion = std::move(speaking_->completion);
  speaking_.reset();
  if (completion) {
    completion();
  }
}

bool FliteSpeechService::isSpeaking() const {
  return speaking_.has_value() || bundled_.isPlaying();
}

void FliteSpeechService::stop() {
  Q_ASSERT(isMainThread());
  speechOutput_->stop();
  if (speaking_) {
    // The cut-off phrase still reports its end, as a cancel, from the event loop.
    Completion cancelled = std::move(speaking_->completion);
    speaking_.reset();
    later([this, cancelled] {
      duckOtherAudio(false);
      if (cancelled) {
        cancelled();
      }
    });
  }
  bundled_.stop();
  duckOtherAudio(false);
}

std::vector<SpeechVoice> FliteSpeechService::availableVoices() const {
  std::vector<SpeechVoice> voices = engine_->voices();
  std::erase_if(voices, [](const SpeechVoice& v) { return !v.language.starts_with("en"); });
  std::stable_sort(voices.begin(), voices.end(),
                   [](const SpeechVoice& a, const SpeechVoice& b) { return a.name < b.name; });
  return voices;
}

bool FliteSpeechService::hasRecordedClips() const { return BundledSpeech::isAvailable(locator_); }

void FliteSpeechService::later(std::function<void()> work) {
  QMetaObject::invokeMethod(&context_, std::move(work), Qt::QueuedConnection);
}

void FliteSpeechService::duckOtherAudio(bool on) {
  // Nothing is lowered; the line marks where other audio would be.
  Log::speech().debug("ducking other audio: %{bool}d", on);
}

}  // namespace vorlane
