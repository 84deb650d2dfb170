#pragma once

#include <QGraphicsObject>
#include <QString>
#include <memory>
#include <vector>

#include "ui/scene/action.h"

namespace vorlane {

class Scene;

// One element of a scene, in the scene's y-up points: a position, a rotation about its own
// origin, separate x and y scales (scale first, then rotate), an alpha that multiplies down
// the tree, a hidden switch, a name and a z order (equal z draws in insertion order).
// Nodes own their children; actions run on a node only while it is attached to a scene.
class Node : public QGraphicsObject {
  Q_OBJECT

 public:
  // Every node answers this type, so a walk over a scene's items tells nodes apart without
  // asking the meta-object system of each.
  enum { Type = UserType + 0x4e4f };
  static Node* from(QGraphicsItem* item) {
    return item != nullptr && item->type() == Type ? static_cast<Node*>(item) : nullptr;
  }
  static const Node* from(const QGraphicsItem* item) {
    return item != nullptr && item->type() == Type ? static_cast<const Node*>(item) : nullptr;
  }

  Node();
  ~Node() override;
  int type() const override { return Type; }

  QPointF position() const { return pos(); }
  void setPosition(QPointF p) { setPos(p); }
  double zRotation() const { return rotation_; }
  void setZRotation(double radians);
  double xScale() const { return xScale_; }
  double yScale() const { return yScale_; }
  void setScale(double both) { setScale(both, both); }
  void setScale(double x, double y);
  void setYScale(double y) { setScale(xScale_, y); }
  double alpha() const { return opacity(); }
  void setAlpha(double a) { setOpacity(a); }
  bool isHidden() const { return !isVisible(); }
  void setHidden(bool hidden) { setVisible(!hidden); }
  void setZPosition(double z) { setZValue(z); }
  const QString& name() const { return name_; }
  void setName(const QString& name) { name_ = name; }

  // Children in insertion order; the parent node, or none for the root or a detached node.
  void addChild(Node* child);
  Node* parentNode() const;
  std::vector<Node*> children() const;
  // The first direct child with that name, or none.
  Node* childNode(const QString& name) const;
  // Detaches the node from its parent and scene and deletes it once control returns to the
  // event loop, so a block that removes its own node stays safe.
  void removeFromParent();
  void removeAllChildren();

  // The node's box with all its descendants, in its parent's coordinates (axis-aligned).
  QRectF accumulatedFrame() const;

  // Starting an action under a key first removes the one running there.
  void run(const Action& action, const QString& key = {});
  void removeAction(const QString& key);
  bool hasAction(const QString& key) const;
  bool hasActions() const { return !runs_.empty(); }
  void removeAllActions();

  QRectF boundingRect() const override { return {}; }
  void paint(QPainter*, const QStyleOptionGraphicsItem*, QWidget*) override {}
  // Counts the changes to what the node draws itself (not its place, alpha or children).
  quint64 drawingVersion() const { return drawingVersion_; }

 protected:
  // Called by a drawing node whenever what it draws changes: it repaints, and whoever compares
  // frames sees the change even where the box stayed the same.
  void drawingChanged() {
    ++drawingVersion_;
    update();
  }
  QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

 private:
  friend class Scene;
  struct Run {
    Action action;
    std::unique_ptr<ActionInstance> instance;
    QString key;
    double elapsed = 0;
    bool armed = false;  // runs started during a step wait for the next one
    RunControl control;
  };

  // Steps every armed run by dt; returns whether one ran. Safe if a block deletes the node.
  bool stepActions(double dt, const bool* sceneTornDown);
  void armActions();
  void updateTransform();
  void announceActions();

  QString name_;
  double rotation_ = 0;
  double xScale_ = 1;
  double yScale_ = 1;
  std::vector<std::shared_ptr<Run>> runs_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  quint64 drawingVersion_ = 0;
};

}  // namespace vorlane
