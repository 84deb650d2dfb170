#pragma once

#include <cstddef>
#include <vector>

#include "foundation/random.h"

namespace vorlane {

// How many pieces one burst throws.
inline constexpr std::size_t confettiPieceCount = 70;

// One piece of a burst: its look and its flight, drawn once at the start.
struct ConfettiPiece {
  std::size_t colorIndex = 0;  // into the palette, repeating in order
  double width = 0;            // whole points, 5 to 9
  double height = 0;           // whole points, 8 to 14
  double rotation = 0;         // radians at the start
  double spread = 0;           // sideways travel over the whole flight
  double rise = 0;             // height of the climb
  double upTime = 0;
  double fallTime = 0;
  double spin = 0;   // radians a second
  double delay = 0;  // the pieces leave one after another

  bool operator==(const ConfettiPiece&) const = default;
};

// A burst over a scene of that width, its colours from a palette of that many entries (none
// for an empty palette). Draws from `random` in a fixed order, so a seed repeats a burst.
std::vector<ConfettiPiece> confettiLayout(RandomGenerator& random, double sceneWidth,
                                          std::size_t paletteSize);

}  // namespace vorlane
