#pragma once

#include <QLabel>
#include <QMenu>
#include <QPoint>
#include <functional>
#include <optional>

#include "ui/overlays/overlay_window.h"

namespace vorlane {

// The floating clock's small rounded panel: the time in a translucent dark box that the
// pointer drags anywhere, with a menu to reset its place or hide it.
class FloatingClockPanel final : public OverlayWindow {
 public:
  static constexpr QSize panelSize{144, 38};

  FloatingClockPanel();

  void setTimeText(const QString& text);
  QString timeText() const { return label_->text(); }
  QMenu* menu() const { return menu_; }
  // Without a compositor only the rounded box is shown, so no black corners appear.
  void setRoundedMask(bool masked);

  std::function<void()> onResetPosition;
  std::function<void()> onHideClock;
  // After every move of the window, with its new top-left corner.
  std::function<void(QPoint)> onMoved;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  QLabel* label_;
  QMenu* menu_;
  // Where the pointer holds the panel while it is dragged by hand.
  std::optional<QPoint> grabOffset_;
};

}  // namespace vorlane
