#include "platform/services/flite_speech_service.h"

#include <algorithm>

#include "core/visits/phrase_formatter.h"
#include "platform/logging/log.h"
#include "platform/logging/main_thread.h"
#include "platform/services/flite_engine.h"
#include "platform/services/process_audio_output.h"
#include "platform/services/speech_pieces.h"

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
      speechOutput_(std::move(dependencies.speechOutput)),
      locator_(std::move(dependencies.locator)),
      calendar_(std::move(dependencies.calendar)),
      bundled_(std::move(dependencies.clipOutput)),
      synthesis_(std::move(dependencies.engine)) {
  // Speech comes a few times an hour; between phrases the voices' megabytes go back.
  voiceRelease_.setSingleShot(true);
  voiceRelease_.setInterval(dependencies.voiceReleaseDelayMs);
  QObject::connect(&voiceRelease_, &QTimer::timeout, &context_,
                   [this] { synthesis_.releaseResources(); });
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
  const bool started = bundled_.play(*url, [this, completion](AudioOutput::End end) {
    duckOtherAudio(false);
    outputEnded(end);
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
    synthesis_.cancel();
    speechOutput_->stop();
    speaking_.reset();
    duckOtherAudio(false);
  }
  const std::uint64_t id = ++lastUtteranceID_;
  speaking_ = Utterance{id, std::move(completion)};

  std::optional<std::string> voice;
  if (preferences.voiceIdentifier &&
      *preferences.voiceIdentifier != BundledSpeech::voiceIdentifier) {
    const std::vector<SpeechVoice> installed = synthesis_.voices();
    const bool known = std::any_of(installed.begin(), installed.end(), [&](const SpeechVoice& v) {
      return v.identifier == *preferences.voiceIdentifier;
    });
    if (known) {
      voice = preferences.voiceIdentifier;
    }
  }
  Log::speech().info("speaking: %{public}s", text);
  duckOtherAudio(true);

  std::vector<std::string> pieces = speechPieces(text);
  if (pieces.empty()) {
    later([this, id] { utteranceEnded(id); });
    return;
  }
  voiceRelease_.stop();
  synthesis_.start(std::move(pieces), voice, preferences.speechRate,
                   [this, id](std::optional<PcmBuffer> sound, bool last) {
                     pieceReady(id, std::move(sound), last);
                   });
}

void FliteSpeechService::pieceReady(std::uint64_t id, std::optional<PcmBuffer> sound, bool last) {
  Q_ASSERT(isMainThread());
  if (!speaking_ || speaking_->id != id) {
    return;
  }
  if (last) {
    voiceRelease_.start();
  }
  if (!sound) {
    Log::speech().error("speech synthesis failed");
    // What was made before the failure is still said.
    if (speaking_->opened) {
      speechOutput_->close();
    } else {
      utteranceEnded(id);
    }
    return;
  }
  if (!speaking_->opened && !sound->samples.empty()) {
    if (!speechOutput_->open(sound->sampleRate, sound->channels, [this, id](AudioOutput::End end) {
          if (speaking_ && speaking_->id == id) {
            // The sound ended early (no output after all): the rest need not be made.
            synthesis_.cancel();
            voiceRelease_.start();
          }
          outputEnded(end);
          utteranceEnded(id);
        })) {
      synthesis_.cancel();
      voiceRelease_.start();
      outputEnded(AudioOutput::End::noOutput);
      utteranceEnded(id);
      return;
    }
    speaking_->opened = true;
  }
  if (speaking_->opened) {
    speechOutput_->write(sound->samples);
  }
  if (last) {
    if (speaking_->opened) {
      speechOutput_->close();
    } else {
      utteranceEnded(id);  // nothing to be heard
    }
  }
}

void FliteSpeechService::outputEnded(AudioOutput::End end) {
  if (end == AudioOutput::End::played) {
    outputMissing_ = false;
    return;
  }
  // Without a sound server every visit would say it again: once is enough, until it is back.
  if (std::exchange(outputMissing_, true)) {
    Log::speech().debug("no audio output for speech");
  } else {
    Log::speech().error("no audio output for speech");
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
  synthesis_.cancel();
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
  std::vector<SpeechVoice> voices = synthesis_.voices();
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
