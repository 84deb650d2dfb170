#include "ui/scene/scene.h"

#include <QPainter>
#include <QPointer>

namespace vorlane {

namespace {

// The nodes with actions, in tree order. Most nodes have none, and a guard for each node
// would cost more than the frame's actions.
void collect(QGraphicsItem* item, std::vector<QPointer<Node>>& out) {
  if (Node* node = Node::from(item); node && node->hasActions()) out.emplace_back(node);
  const QList<QGraphicsItem*> children = item->childItems();  // shared, not copied
  for (QGraphicsItem* child : children) collect(child, out);
}

}  // namespace

Scene::Scene(QSizeF size) : size_(size), root_(new Node) {
  setItemIndexMethod(QGraphicsScene::NoIndex);  // nodes move every frame
  setSceneRect(0, 0, size.width(), size.height());
  root_->setTransform(QTransform(1, 0, 0, -1, 0, size.height()));
  addItem(root_);
}

Scene::~Scene() { tornDown_ = true; }

void Scene::setSize(QSizeF size) {
  if (size == size_) return;
  const QSizeF old = size_;
  size_ = size;
  setSceneRect(0, 0, size.width(), size.height());
  root_->setTransform(QTransform(1, 0, 0, -1, 0, size.height()));
  didChangeSize(old);
}

bool Scene::step(double dt) {
  if (tornDown_) return false;
  std::vector<QPointer<Node>> nodes;
  collect(root_, nodes);  // only nodes armed now step: a node given actions later waits
  for (const auto& node : nodes) node->armActions();
  bool ran = false;
  for (const auto& node : nodes) {
    if (node.isNull() || node->scene() != this || !node->hasActions()) continue;
    ran = node->stepActions(dt, &tornDown_) || ran;
    if (tornDown_) return ran;
  }
  frameUpdate();
  if (tornDown_) return ran;
  didFinishUpdate();
  return ran;
}

void Scene::tearDown() {
  if (tornDown_) return;
  tornDown_ = true;
  deleteLater();
}

QImage Scene::renderImage() {
  QImage image(size_.toSize(), QImage::Format_ARGB32_Premultiplied);
  renderInto(image);
  return image;
}

void Scene::renderInto(QImage& image) {
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform |
                         QPainter::TextAntialiasing);
  const QRectF area(0, 0, size_.width(), size_.height());
  render(&painter, area, area);
}

}  // namespace vorlane
