#include "ui/tray/tray_symbol_icon.h"

#include <QIconEngine>
#include <QPainter>

#include "ui/kit/symbol_image.h"

namespace vorlane {
namespace {

// Pixmaps under a theme name: Qt's StatusNotifierItem hands hosts the name (IconName) and
// the pixmaps (IconPixmap) alike.
class NamedPixmapEngine final : public QIconEngine {
 public:
  NamedPixmapEngine(QString name, QIcon pixmaps)
      : name_(std::move(name)), pixmaps_(std::move(pixmaps)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    pixmaps_.paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return pixmaps_.pixmap(size, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return pixmaps_.actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return pixmaps_.availableSizes(mode, state);
  }
  QString iconName() override { return name_; }
  bool isNull() override { return name_.isEmpty() && pixmaps_.isNull(); }
  QString key() const override { return QStringLiteral("vorlane-named-pixmaps"); }
  QIconEngine* clone() const override { return new NamedPixmapEngine(name_, pixmaps_); }

 private:
  QString name_;
  QIcon pixmaps_;
};

}  // namespace

QString traySymbolIconName(const std::string& symbol) {
  return QStringLiteral("vorlane-") +
         QString::fromStdString(symbol).replace(QLatin1Char('.'), QLatin1Char('-')) +
         QStringLiteral("-symbolic");
}

QIcon traySymbolIcon(const std::string& symbol, const QColor& ink) {
  QIcon pixmaps;
  for (const int size : {16, 22, 24, 32, 48}) {
    const QPixmap pixmap = symbolImage(QString::fromStdString(symbol), size, ink, 1.0);
    if (!pixmap.isNull()) pixmaps.addPixmap(pixmap);
  }
  return QIcon(new NamedPixmapEngine(traySymbolIconName(symbol), pixmaps));
}

}  // namespace vorlane
