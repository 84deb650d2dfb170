#pragma once

#include <optional>

#include "core/desktop/mascot_color.h"
#include "foundation/json.h"

namespace vorlane {

// The user's styling of the mascot. Stores whatever it is given; only `sanitized()` brings
// it into range, so a value assigned directly stays as it is until then.
struct MascotAppearance {
  double monkeyOpacity = 1;
  double ropeOpacity = 1;
  double bannerOpacity = 1;
  double ropeWidth = 4;  // points
  // Absent means the theme's own colour.
  std::optional<MascotColor> monkeyColor = std::nullopt;
  std::optional<MascotColor> ropeColor = std::nullopt;
  std::optional<MascotColor> bannerColor = std::nullopt;

  // Opacities clamped to 0...1 (non-finite gives 1), rope width to 1...8 (non-finite gives
  // 4); colours unchanged.
  MascotAppearance sanitized() const;

  // Exact comparison: a NaN field makes an appearance unequal to itself.
  bool operator==(const MascotAppearance&) const = default;

  // The four numbers in field order, then each colour only when present. Writes the values
  // unsanitised; a non-finite number throws EncodingError.
  Json encode() const;
  // Needs an object (DecodingError otherwise). Tolerant per key: a missing, null or
  // non-number opacity gives 1, rope width 4; a colour that does not decode is absent. The
  // result is sanitised.
  static MascotAppearance decode(const JsonReader& reader);
};

}  // namespace vorlane
