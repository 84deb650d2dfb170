#pragma once

#include <QColor>
#include <QPalette>
#include <optional>
#include <vector>

#include "core/desktop/mascot_appearance.h"
#include "ui/scene/rgba.h"

namespace vorlane {

// The colours of everything the mascot draws, for a light or a dark desktop.
struct MascotTheme {
  bool isDark = false;
  Rgba rope;
  Rgba bubbleFill;
  Rgba bubbleStroke;
  Rgba bubbleText;
  Rgba pillFill;
  Rgba pillStroke;
  Rgba pillText;
  Rgba pillHighlight;
  Rgba boardFill;
  Rgba boardStroke;
  Rgba boardInk;
  Rgba boardCaption;
  Rgba celebrationGlow;
  std::vector<Rgba> confetti;

  static const MascotTheme& light();
  static const MascotTheme& dark();
  static const std::vector<Rgba>& warmConfetti();
  static const std::vector<Rgba>& coolConfetti();

  // Dark when the palette's window colour is dark.
  static MascotTheme matching(const QPalette& palette);
  // For the application's palette; light with no application object.
  static MascotTheme current();

  // The user's overrides: a rope colour, and a banner colour from which every banner-like
  // surface, its stroke and a legible ink are derived. Glow and confetti never change.
  MascotTheme applying(const MascotAppearance& appearance) const;

  bool operator==(const MascotTheme&) const = default;
};

// A core colour as an opaque sRGB colour.
Rgba toRgba(const MascotColor& color);
// A colour picked on screen as a core colour, alpha dropped; none for an invalid colour.
std::optional<MascotColor> mascotColorFrom(const QColor& color);

}  // namespace vorlane
