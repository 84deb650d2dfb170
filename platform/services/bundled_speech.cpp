#include "platform/services/bundled_speech.h"

#include <fstream>
#include <iterator>

#include "platform/logging/log.h"
#include "platform/logging/main_thread.h"
#include "platform/services/wav_decoder.h"

namespace vorlane {
namespace {

// Far above any spoken time; a larger file is not one of ours.
constexpr std::uintmax_t maxClipBytes = 16u << 20;

std::optional<PcmBuffer> readClip(const std::filesystem::path& url) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(url, error);
  if (error || size > maxClipBytes) {
    return std::nullopt;
  }
  std::ifstream in(url, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    return std::nullopt;
  }
  return decodeWav(bytes);
}

}  // namespace

BundledSpeech::BundledSpeech(std::unique_ptr<AudioOutput> output) : output_(std::move(output)) {}

std::optional<std::string> BundledSpeech::clipName(Date date, const Calendar& calendar) {
  const int minute = calendar.minute(date);
  if (minute != 0 && minute != 30) {
    return std::nullopt;
  }
  const int hour = calendar.hour(date) % 12;
  return "hour-" + std::to_string(hour) + (minute == 0 ? "-00" : "-30") + ".wav";
}

std::optional<std::filesystem::path> BundledSpeech::clipURL(Date date, const Calendar& calendar,
                                                            const ResourceLocator& locator) {
  const std::optional<std::string> name = clipName(date, calendar);
  return name ? locator.find(*name) : std::nullopt;
}

bool BundledSpeech::isAvailable(const ResourceLocator& locator) {
  return locator.find("hour-0-00.wav").has_value();
}

bool BundledSpeech::play(const std::filesystem::path& url, Completion completion) {
  Q_ASSERT(isMainThread());
  stop();
  const std::string name = url.filename().string();
  std::optional<PcmBuffer> sound = readClip(url);
  if (!sound) {
    Log::speech().error("could not open bundled clip %{public}s", name);
    return false;
  }
  completion_ = std::move(completion);
  const std::uint64_t generation = ++generation_;
  if (!output_->play(*sound,
                     [this, generation](AudioOutput::End end) { finish(generation, end); })) {
    return false;
  }
  Log::speech().info("played bundled clip %{public}s", name);
  return true;
}

void BundledSpeech::stop() {
  ++generation_;
  output_->stop();
  completion_ = nullptr;
}

bool BundledSpeech::isPlaying() const { return output_->isPlaying(); }

void BundledSpeech::finish(std::uint64_t generation, AudioOutput::End end) {
  Q_ASSERT(isMainThread());
  if (generation != generation_) {
    return;
  }
  ++generation_;
  Completion completion = std::move(completion_);
  completion_ = nullptr;
  if (completion) {
    completion(end);  // may start the next clip
  }
}

}  // namespace vorlane
