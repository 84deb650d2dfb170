#pragma once

namespace vorlane {

// What the mascot is doing on screen right now; kept by the presentation, never stored.
enum class PresenceState { away, peeking, visiting, working };

}  // namespace vorlane
