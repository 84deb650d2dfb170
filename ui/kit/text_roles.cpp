#include "ui/kit/text_roles.h"

#include <QApplication>
#include <QFontInfo>
#include <QPalette>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

// Pixel sizes at a 13-pixel body; other bodies scale them alike.
constexpr int referenceBody = 13;

int referenceSize(TextRole role) {
  switch (role) {
    case TextRole::title:
      return 28;
    case TextRole::title2:
      return 22;
    case TextRole::headline:
    case TextRole::body:
      return 13;
    case TextRole::callout:
      return 12;
    case TextRole::caption:
      return 10;
  }
  return referenceBody;
}

QFont::Weight naturalWeight(TextRole role) {
  return role == TextRole::headline ? QFont::DemiBold : QFont::Normal;
}

QFont sized(TextRole role, const QFont& base, QFont::Weight weight) {
  QFont font = base;
  // QFontInfo resolves a point size to the pixels it draws at on this screen.
  font.setPixelSize(rolePixelSize(role, QFontInfo(base).pixelSize()));
  font.setWeight(weight);
  return font;
}

}  // namespace

int rolePixelSize(TextRole role, int bodyPixels) {
  const int body = std::max(bodyPixels, 1);
  const double scaled = static_cast<double>(referenceSize(role)) * body / referenceBody;
  return std::max(1, static_cast<int>(std::lround(scaled)));
}

QFont roleFont(TextRole role, const QFont& base) { return sized(role, base, naturalWeight(role)); }

void setTextRole(QWidget& widget, TextRole role) { setTextRole(widget, role, naturalWeight(role)); }

void setTextRole(QWidget& widget, TextRole role, QFont::Weight weight) {
  widget.setFont(sized(role, QApplication::font(&widget), weight));
}

QFont withMonospacedDigits(QFont font) {
  font.setFamily(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::Monospace);
  return font;
}

QColor toneColor(const QWidget& widget, TextTone tone) {
  const QWidget* parent = widget.parentWidget();
  const QColor text = (parent != nullptr ? parent->palette() : QApplication::palette(&widget))
                          .color(QPalette::WindowText);
  switch (tone) {
    case TextTone::primary:
      return text;
    case TextTone::secondary:
      return dimmed(text);
    case TextTone::red:
      return errorTextColor();
  }
  return text;
}

void setTextTone(QWidget& widget, TextTone tone) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText, toneColor(widget, tone));
  widget.setPalette(palette);
}

}  // namespace vorlane
