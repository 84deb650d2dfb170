#pragma once

#include <QString>

#include "platform/services/synthesis_engine.h"

namespace vorlane {

// A voice as desktop speech settings list it: its language and region, then what kind of
// voice it is, then the engine's own short name ("English (United States) – Female (slt)").
// A voice the description table does not know shows its language and its name; one without
// a language shows its name alone. The stored identifier is not part of it.
QString voiceDescription(const SpeechVoice& voice);

}  // namespace vorlane
