#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "foundation/calendar.h"
#include "foundation/date.h"
#include "platform/services/audio_output.h"
#include "platform/services/resource_locator.h"

namespace vorlane {

// The 24 recorded time announcements, "hour-<h>-<00|30>.wav" for h 0-11 on a 12-hour dial,
// and the player for them. Playback goes through an `AudioOutput`.
class BundledSpeech {
 public:
  // Told how the clip ended: heard, or not, for want of an output.
  using Completion = std::function<void(AudioOutput::End)>;

  // The voice identifier under which the settings choose the recordings.
  static constexpr const char* voiceIdentifier = "vorlane.bundled";

  explicit BundledSpeech(std::unique_ptr<AudioOutput> output);
  BundledSpeech(const BundledSpeech&) = delete;
  BundledSpeech& operator=(const BundledSpeech&) = delete;

  // The clip's file name for a date on a full or half hour of the calendar (seconds are not
  // looked at: 14:30:59 gives "hour-2-30.wav"); none at any other minute.
  static std::optional<std::string> clipName(Date date, const Calendar& calendar);
  // The clip file for a date, when the locator finds it.
  static std::optional<std::filesystem::path> clipURL(
      Date date, const Calendar& calendar,
      const ResourceLocator& locator = ResourceLocator::standard());
  // Whether the recordings are installed (looked up on every call).
  static bool isAvailable(const ResourceLocator& locator = ResourceLocator::standard());

  // Stops the previous clip (its completion dropped uncalled) and plays the file. False when
  // the file cannot be read as 16-bit PCM WAVE (logged) or the output refuses it (not
  // logged); the completion is then never called. Otherwise the completion runs once when
  // the clip ends or turns out to have no output, from the event loop.
  [[nodiscard]] bool play(const std::filesystem::path& url, Completion completion);
  // Cuts the clip short without calling its completion.
  void stop();
  bool isPlaying() const;

 private:
  void finish(std::uint64_t generation, AudioOutput::End end);

  std::unique_ptr<AudioOutput> output_;
  Completion completion_;
  std::uint64_t generation_ = 0;
};

}  // namespace vorlane
