#include "ui/scene/node.h"

#include <QGraphicsScene>

#include "ui/scene/scene.h"

namespace vorlane {

Node::Node() = default;

Node::~Node() {
  *alive_ = false;
  for (auto& run : runs_) run->control.dead = true;
}

void Node::setZRotation(double radians) {
  if (rotation_ == radians) return;
  rotation_ = radians;
  updateTransform();
}

void Node::setScale(double x, double y) {
  if (xScale_ == x && yScale_ == y) return;
  xScale_ = x;
  yScale_ = y;
  updateTransform();
}

void Node::updateTransform() {
  setTransform(QTransform().rotateRadians(rotation_).scale(xScale_, yScale_));
}

void Node::addChild(Node* child) {
  if (child == nullptr || child == this) return;
  child->setParentItem(this);
}

Node* Node::parentNode() const { return from(parentItem()); }

std::vector<Node*> Node::children() const {
  std::vector<Node*> out;
  for (QGraphicsItem* item : childItems()) {
    if (Node* node = from(item)) out.push_back(node);
  }
  return out;
}

Node* Node::childNode(const QString& name) const {
  for (Node* child : children()) {
    if (child->name() == name) return child;
  }
  return nullptr;
}

void Node::removeFromParent() {
  setParentItem(nullptr);
  if (QGraphicsScene* s = scene()) s->removeItem(this);
  removeAllActions();
  deleteLater();
}

void Node::removeAllChildren() {
  for (Node* child : children()) child->removeFromParent();
}

QRectF Node::accumulatedFrame() const {
  return mapRectToParent(boundingRect() | childrenBoundingRect());
}

void Node::run(const Action& action, const QString& key) {
  if (!key.isEmpty()) removeAction(key);
  auto run = std::make_shared<Run>(Run{action, action.instantiate(), key, 0, false, {}});
  runs_.push_back(std::move(run));
  announceActions();
}

void Node::removeAction(const QString& key) {
  for (auto it = runs_.begin(); it != runs_.end(); ++it) {
    if ((*it)->key == key) {
      (*it)->control.dead = true;
      runs_.erase(it);
      return;
    }
  }
}

bool Node::hasAction(const QString& key) const {
  for (const auto& run : runs_) {
    if (run->key == key) return true;
  }
  return false;
}

void Node::removeAllActions() {
  for (auto& run : runs_) run->control.dead = true;
  runs_.clear();
}

void Node::armActions() {
  for (auto& run : runs_) run->armed = true;
}

bool Node::stepActions(double dt, const bool* sceneTornDown) {
  const std::vector<std::shared_ptr<Run>> snapshot = runs_;
  const std::shared_ptr<bool> alive = alive_;
  bool ran = false;
  for (const auto& run : snapshot) {
    if (!run->armed || run->control.dead) continue;
    run->control.sceneTornDown = sceneTornDown;
    run->elapsed += dt;
    ran = true;
    const bool done = run->instance->advanceTo(*this, run->elapsed, false, run->control);
    if (!*alive || (sceneTornDown != nullptr && *sceneTornDown)) return ran;
    if (done && !run->control.dead) {
      run->control.dead = true;
      // Only this very run: its last block may already have started another under its key.
      std::erase(runs_, run);
    }
  }
  return ran;
}

void Node::announceActions() {
  if (auto* s = qobject_cast<Scene*>(scene())) s->noteActionAdded();
}

QVariant Node::itemChange(GraphicsItemChange change, const QVariant& value) {
  if (change == ItemSceneHasChanged && hasActions()) announceActions();
  return QGraphicsObject::itemChange(change, value);
}

}  // namespace vorlane
