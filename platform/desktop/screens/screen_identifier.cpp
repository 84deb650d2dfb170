#include "platform/desktop/screens/screen_identifier.h"

#include <QScreen>

namespace vorlane {

std::string screenIdentifier(const QScreen& screen) {
  const QString name = screen.name();
  if (!name.isEmpty()) return name.toStdString();
  return (screen.manufacturer() + QLatin1Char(' ') + screen.model()).toStdString();
}

std::string screenLabel(const QScreen& screen) {
  const QString product = (screen.manufacturer() + QLatin1Char(' ') + screen.model()).trimmed();
  if (!product.isEmpty()) return product.toStdString();
  return screenIdentifier(screen);
}

ScreenFrame screenFrame(const QScreen& screen) {
  const QRect g = screen.geometry();
  const double ratio = screen.devicePixelRatio();
  return ScreenFrame{screenIdentifier(screen), double(g.x()),      double(g.y()),
                     g.width() * ratio,        g.height() * ratio, ratio};
}

}  // namespace vorlane
