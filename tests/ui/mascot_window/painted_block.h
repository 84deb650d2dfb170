#pragma once

#include <QPainter>
#include <QWidget>

namespace vorlane::testing {

// Content standing in for the scene: one opaque block on a transparent background.
class PaintedBlock : public QWidget {
 public:
  explicit PaintedBlock(QRect block, QColor color = QColor(30, 90, 220))
      : block_(block), color_(color) {}
  // Repaints only where the block was and is, as a scene view does.
  void setBlock(QRect block) {
    update(QRegion(block_) + block);
    block_ = block;
  }
  // Moves the block without asking Qt to repaint, as content that reports its changes to the
  // window itself does.
  void setBlockQuietly(QRect block) { block_ = block; }
  int presses = 0;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(block_, color_);
  }
  void mousePressEvent(QMouseEvent*) override { ++presses; }

 private:
  QRect block_;
  QColor color_;
};

}  // namespace vorlane::testing
