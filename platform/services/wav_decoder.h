#pragma once

#include <optional>
#include <string_view>

#include "platform/services/pcm_buffer.h"

namespace vorlane {

// Reads a RIFF/WAVE file of uncompressed 16-bit PCM. Chunks other than "fmt " and "data"
// are skipped (odd sizes padded to even). A data chunk that claims more bytes than the file
// holds is cut to the whole frames present. Anything else (another codec, another sample
// size, a missing chunk, a truncated header) gives none.
[[nodiscard]] std::optional<PcmBuffer> decodeWav(std::string_view bytes);

}  // namespace vorlane
