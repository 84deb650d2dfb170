#include "ui/overlays/confetti_layout.h"

#include <numbers>

namespace vorlane {

std::vector<ConfettiPiece> confettiLayout(RandomGenerator& random, double sceneWidth,
                                          std::size_t paletteSize) {
  std::vector<ConfettiPiece> pieces;
  if (paletteSize == 0) return pieces;
  pieces.reserve(confettiPieceCount);
  for (std::size_t i = 0; i < confettiPieceCount; ++i) {
    ConfettiPiece p;
    p.colorIndex = i % paletteSize;
    p.width = double(5 + uniformBelow(random, 5));
    p.height = double(8 + uniformBelow(random, 7));
    p.rotation = uniformClosed(random, 0, 2 * std::numbers::pi);
    p.spread = sceneWidth * uniformClosed(random, -1, 1) * 0.55;
    p.rise = uniformClosed(random, 60, 260);
    p.upTime = uniformClosed(random, 0.35, 0.6);
    p.fallTime = uniformClosed(random, 1.3, 2.0);
    p.spin = uniformClosed(random, -3, 3);
    p.delay = double(i) * 0.004;
    pieces.push_back(p);
  }
  return pieces;
}

}  // namespace vorlane
