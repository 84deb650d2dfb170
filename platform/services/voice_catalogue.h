#pragma once

#include <vector>

#include "platform/services/synthesis_engine.h"

namespace vorlane {

// The voices the user may choose between for spoken announcements, asked afresh at each use.
class VoiceCatalogue {
 public:
  virtual ~VoiceCatalogue() = default;

  // The system voices on offer, in the order they are to be listed.
  virtual std::vector<SpeechVoice> availableVoices() const = 0;
  // Whether the recorded hour clips are installed, so that "vorlane.bundled" can be offered.
  virtual bool hasRecordedClips() const = 0;
};

}  // namespace vorlane
