#pragma once

#include <QGraphicsScene>
#include <QImage>
#include <QSizeF>

#include "ui/scene/node.h"

namespace vorlane {

// A scene in y-up points, origin bottom left: every node hangs under one root whose
// transform flips Qt's y-down axis. One action runner per scene, stepped by a frame driver
// or a manual clock. A scene renders into an image with no window.
class Scene : public QGraphicsScene {
  Q_OBJECT

 public:
  explicit Scene(QSizeF size);
  ~Scene() override;

  QSizeF size() const { return size_; }
  // Resets the flip and calls `didChangeSize` when the size differs.
  void setSize(QSizeF size);

  Node* root() { return root_; }
  void addChild(Node* node) { root_->addChild(node); }

  // One frame: every action armed before the frame advances by dt, then `frameUpdate`,
  // then `didFinishUpdate`. Blocks may remove nodes, start new actions (they begin next
  // frame) or tear the scene down (the rest of the frame is skipped). Returns whether
  // any action ran.
  bool step(double dt);

  // Ends the scene: no further frame runs, and it is deleted once control returns to the
  // event loop. Safe from inside an action's block.
  void tearDown();
  bool isTornDown() const { return tornDown_; }

  // The scene drawn into a transparent premultiplied ARGB image of its size.
  QImage renderImage();
  void renderInto(QImage& image);

  void noteActionAdded() { emit actionAdded(); }

 signals:
  // A node of this scene started an action: a paused-out driver may need to restart.
  void actionAdded();

 protected:
  virtual void didChangeSize(QSizeF oldSize) { (void)oldSize; }
  virtual void frameUpdate() {}
  virtual void didFinishUpdate() {}

 private:
  QSizeF size_;
  Node* root_;
  bool tornDown_ = false;
};

}  // namespace vorlane
