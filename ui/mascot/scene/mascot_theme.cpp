#include "ui/mascot/scene/mascot_theme.h"

#include <QGuiApplication>

namespace vorlane {

namespace {

constexpr Rgba rgb(double r, double g, double b, double a = 1) { return {r, g, b, a}; }

}  // namespace

const std::vector<Rgba>& MascotTheme::warmConfetti() {
  static const std::vector<Rgba> colors{rgb(0.98, 0.72, 0.28), rgb(0.95, 0.47, 0.36),
                                        rgb(0.44, 0.74, 0.62), rgb(0.40, 0.60, 0.90),
                                        rgb(0.85, 0.60, 0.85)};
  return colors;
}

const std::vector<Rgba>& MascotTheme::coolConfetti() {
  static const std::vector<Rgba> colors{rgb(1.0, 0.80, 0.42), rgb(0.96, 0.58, 0.50),
                                        rgb(0.52, 0.85, 0.74), rgb(0.54, 0.72, 0.98),
                                        rgb(0.90, 0.72, 0.95)};
  return colors;
}

const MascotTheme& MascotTheme::light() {
  static const MascotTheme theme{false,
                                 rgb(0.52, 0.40, 0.26),
                                 Rgba::white(1.0, 0.97),
                                 Rgba::white(0.0, 0.14),
                                 Rgba::white(0.1),
                                 Rgba::white(0.13, 0.94),
                                 Rgba::white(1.0, 0.16),
                                 Rgba::white(1.0),
                                 rgb(0.16, 0.48, 0.94, 0.96),
                                 rgb(0.99, 0.95, 0.83),
                                 rgb(0.55, 0.42, 0.26),
                                 rgb(0.24, 0.16, 0.09),
                                 rgb(0.45, 0.34, 0.20),
                                 rgb(1.0, 0.83, 0.45, 0.85),
                                 warmConfetti()};
  return theme;
}

const MascotTheme& MascotTheme::dark() {
  static const MascotTheme theme{true,
                                 rgb(0.68, 0.55, 0.38),
                                 Rgba::white(0.17, 0.96),
                                 Rgba::white(1.0, 0.18),
                                 Rgba::white(0.96),
                                 Rgba::white(0.24, 0.94),
                                 Rgba::white(1.0, 0.22),
                                 Rgba::white(0.97),
                                 rgb(0.24, 0.53, 0.96, 0.96),
                                 rgb(0.22, 0.18, 0.13),
                                 rgb(0.62, 0.49, 0.32),
                                 rgb(0.98, 0.93, 0.80),
                                 rgb(0.76, 0.66, 0.50),
                                 rgb(0.62, 0.78, 1.0, 0.7),
                                 coolConfetti()};
  return theme;
}

MascotTheme MascotTheme::matching(const QPalette& palette) {
  return palette.color(QPalette::Window).lightnessF() < 0.5 ? dark() : light();
}

MascotTheme MascotTheme::current() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return light();
  return matching(QGuiApplication::palette());
}

MascotTheme MascotTheme::applying(const MascotAppearance& appearance) const {
  MascotTheme out = *this;
  if (appearance.ropeColor) out.rope = toRgba(*appearance.ropeColor);
  if (appearance.bannerColor) {
    const Rgba banner = toRgba(*appearance.bannerColor);
    const Rgba ink = appearance.bannerColor->usesDarkInk() ? Rgba::white(0) : Rgba::white(1);
    const Rgba stroke = banner.blended(0.35, ink);
    out.bubbleFill = out.pillFill = out.boardFill = banner;
    out.bubbleStroke = out.pillStroke = out.boardStroke = stroke;
    out.bubbleText = out.pillText = out.boardInk = ink;
    out.pillHighlight = banner.blended(0.15, ink);
    out.boardCaption = ink.withAlpha(0.8);
  }
  return out;
}

Rgba toRgba(const MascotColor& color) { return {color.red(), color.green(), color.blue(), 1}; }

std::optional<MascotColor> mascotColorFrom(const QColor& color) {
  if (!color.isValid()) return std::nullopt;
  const QColor srgb = color.toRgb();
  return MascotColor(srgb.redF(), srgb.greenF(), srgb.blueF());
}

}  // namespace vorlane
