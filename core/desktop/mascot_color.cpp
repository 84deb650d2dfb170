#include "core/desktop/mascot_color.h"

#include <cmath>

#include "core/desktop/bounded_number.h"

namespace vorlane {

MascotColor::MascotColor(double red, double green, double blue)
    : red_(boundedOrFallback(red, 0, 1, 0)),
      green_(boundedOrFallback(green, 0, 1, 0)),
      blue_(boundedOrFallback(blue, 0, 1, 0)) {}

namespace {
double linearised(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}
}  // namespace

bool MascotColor::usesDarkInk() const {
  double luminance =
      0.2126 * linearised(red_) + 0.7152 * linearised(green_) + 0.0722 * linearised(blue_);
  double contrastWithBlack = (luminance + 0.05) / 0.05;
  double contrastWithWhite = 1.05 / (luminance + 0.05);
  return contrastWithWhite <= contrastWithBlack;
}

Json MascotColor::encode() const {
  Json out = Json::object();
  out["red"] = json::fromDouble(red_);
  out["green"] = json::fromDouble(green_);
  out["blue"] = json::fromDouble(blue_);
  return out;
}

MascotColor MascotColor::decode(const JsonReader& reader) {
  if (!reader.isObject()) {
    reader.fail(DecodingError::Kind::typeMismatch, "Expected a colour object.");
  }
  return MascotColor(reader["red"].asDouble(), reader["green"].asDouble(),
                     reader["blue"].asDouble());
}

}  // namespace vorlane
