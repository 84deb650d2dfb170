#include "ui/overlays/floating_clock_panel.h"

#include <QBitmap>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>

namespace vorlane {
namespace {

constexpr double cornerRadius = 12;
const QColor boxColor = QColor::fromRgbF(0.11, 0.11, 0.12, 0.82);
const QColor inkColor = QColor::fromRgbF(1, 1, 1, 0.92);

QPainterPath roundedBox(QSize size) {
  QPainterPath path;
  path.addRoundedRect(QRectF(QPointF(), size), cornerRadius, cornerRadius);
  return path;
}

}  // namespace

FloatingClockPanel::FloatingClockPanel()
    : OverlayWindow(/*clickThrough=*/false), label_(new QLabel(this)), menu_(new QMenu(this)) {
  setFixedSize(panelSize);
  setCursor(Qt::OpenHandCursor);
  setToolTip("Drag to move. Right-click to hide or reset position.");

  QFont font;
  font.setFamilies({"DejaVu Sans Mono"});
  font.setPixelSize(17);
  font.setWeight(QFont::Medium);
  label_->setFont(font);
  label_->setAlignment(Qt::AlignCenter);
  label_->setGeometry(8, 8, 128, 22);
  QPalette palette = label_->palette();
  palette.setColor(QPalette::WindowText, inkColor);
  label_->setPalette(palette);
  label_->setAccessibleName("Current time");
  // Presses reach the panel, which drags itself.
  label_->setAttribute(Qt::WA_TransparentForMouseEvents);

  menu_->addAction("Reset clock position", [this] {
    if (onResetPosition) onResetPosition();
  });
  menu_->addAction("Hide clock", [this] {
    if (onHideClock) onHideClock();
  });
}

void FloatingClockPanel::setTimeText(const QString& text) {
  label_->setText(text);
  label_->setAccessibleDescription(text);  // read out after "Current time"
}

void FloatingClockPanel::setRoundedMask(bool masked) {
  if (!masked) {
    clearMask();
    return;
  }
  QBitmap bitmap(size());
  bitmap.fill(Qt::color0);
  QPainter painter(&bitmap);
  painter.setBrush(Qt::color1);
  painter.setPen(Qt::NoPen);
  painter.drawPath(roundedBox(size()));
  painter.end();
  setMask(bitmap);
}

void FloatingClockPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(boxColor);
  painter.drawPath(roundedBox(size()));
}

void FloatingClockPanel::contextMenuEvent(QContextMenuEvent* event) {
  menu_->popup(event->globalPos());
}

void FloatingClockPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  // The window manager moves the panel when it can; otherwise it follows the pointer here.
  if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return;
  grabOffset_ = event->globalPosition().toPoint() - pos();
}

void FloatingClockPanel::mouseMoveEvent(QMouseEvent* event) {
  if (grabOffset_ && (event->buttons() & Qt::LeftButton)) {
    move(event->globalPosition().toPoint() - *grabOffset_);
  }
}

void FloatingClockPanel::mouseReleaseEvent(QMouseEvent*) { grabOffset_.reset(); }

void FloatingClockPanel::moveEvent(QMoveEvent* event) {
  OverlayWindow::moveEvent(event);
  if (onMoved) onMoved(pos());
}

}  // namespace vorlane
