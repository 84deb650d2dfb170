#include "ui/preferences/controls/color_well_row.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

namespace vorlane {
namespace {

constexpr QSize swatchSize(38, 18);

QIcon swatch(const QColor& color, const QColor& edge, qreal ratio) {
  QPixmap pixmap(swatchSize * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(edge, 1));
  painter.setBrush(color);
  painter.drawRoundedRect(QRectF(0.5, 0.5, swatchSize.width() - 1, swatchSize.height() - 1), 4, 4);
  return QIcon(pixmap);
}

}  // namespace

ColorWellRow::ColorWellRow(const QString& title, QWidget* parent)
    : QWidget(parent), well_(new QToolButton(this)), default_(new QPushButton(this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  well_->setAccessibleName(title);
  well_->setToolTip(title);
  well_->setIconSize(swatchSize);
  connect(well_, &QToolButton::clicked, this, [this] {
    if (onPick) onPick();
  });
  row->addWidget(well_);
  default_->setText(QStringLiteral("Default"));
  default_->setAccessibleName(QStringLiteral("Reset ") + title.toLower() +
                              QStringLiteral(" color"));
  connect(default_, &QPushButton::clicked, this, [this] {
    if (onDefault) onDefault();
  });
  row->addWidget(default_);
  row->addStretch(1);
}

void ColorWellRow::showColor(const std::optional<MascotColor>& stored, const QColor& fallback) {
  const QColor color = stored ? QColor::fromRgbF(static_cast<float>(stored->red()),
                                                 static_cast<float>(stored->green()),
                                                 static_cast<float>(stored->blue()))
                              : fallback;
  default_->setEnabled(stored.has_value());
  if (color == shown_) return;
  shown_ = color;
  well_->setIcon(swatch(color, palette().color(QPalette::Mid), devicePixelRatioF()));
}

}  // namespace vorlane
