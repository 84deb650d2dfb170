#include "core/desktop/mascot_appearance.h"

#include "core/desktop/bounded_number.h"

namespace vorlane {

namespace {

constexpr double opacityFallback = 1;
constexpr double ropeWidthFallback = 4;

// A colour that fails to decode is treated as no override; the rest of the record stands.
std::optional<MascotColor> colorOrNone(const JsonReader& object, std::string_view key) {
  auto member = object.optional(key);
  if (!member) return std::nullopt;
  try {
    return MascotColor::decode(*member);
  } catch (const DecodingError&) {
    return std::nullopt;
  }
}

}  // namespace

MascotAppearance MascotAppearance::sanitized() const {
  MascotAppearance out = *this;
  out.monkeyOpacity = boundedOrFallback(monkeyOpacity, 0, 1, opacityFallback);
  out.ropeOpacity = boundedOrFallback(ropeOpacity, 0, 1, opacityFallback);
  out.bannerOpacity = boundedOrFallback(bannerOpacity, 0, 1, opacityFallback);
  out.ropeWidth = boundedOrFallback(ropeWidth, 1, 8, ropeWidthFallback);
  return out;
}

Json MascotAppearance::encode() const {
  Json out = Json::object();
  out["monkeyOpacity"] = json::fromDouble(monkeyOpacity);
  out["ropeOpacity"] = json::fromDouble(ropeOpacity);
  out["bannerOpacity"] = json::fromDouble(bannerOpacity);
  out["ropeWidth"] = json::fromDouble(ropeWidth);
  if (monkeyColor) out["monkeyColor"] = monkeyColor->encode();
  if (ropeColor) out["ropeColor"] = ropeColor->encode();
  if (bannerColor) out["bannerColor"] = bannerColor->encode();
  return out;
}

MascotAppearance MascotAppearance::decode(const JsonReader& reader) {
  if (!reader.isObject()) {
    reader.fail(DecodingError::Kind::typeMismatch, "Expected an appearance object.");
  }
  MascotAppearance out{
      .monkeyOpacity = numberOrNone(reader, "monkeyOpacity").value_or(opacityFallback),
      .ropeOpacity = numberOrNone(reader, "ropeOpacity").value_or(opacityFallback),
      .bannerOpacity = numberOrNone(reader, "bannerOpacity").value_or(opacityFallback),
      .ropeWidth = numberOrNone(reader, "ropeWidth").value_or(ropeWidthFallback),
      .monkeyColor = colorOrNone(reader, "monkeyColor"),
      .ropeColor = colorOrNone(reader, "ropeColor"),
      .bannerColor = colorOrNone(reader, "bannerColor"),
  };
  return out.sanitized();
}

}  // namespace vorlane
