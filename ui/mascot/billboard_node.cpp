#include "ui/mascot/billboard_node.h"

#include <QPointer>

namespace vorlane {

void BillboardNode::update(const QString& time, const QString& caption) {
  if (time != time_) time_ = time;
  if (caption != caption_) caption_ = caption;
}

void BillboardNode::hide() {
  removeAllActions();
  QPointer<BillboardNode> self(this);
  run(Action::sequence({Action::fadeOut(0.2), Action::run([self] {
                          if (self) self->setScale(1.0);
                        })}));
}

}  // namespace vorlane
