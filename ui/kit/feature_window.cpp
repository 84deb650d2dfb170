#include "ui/kit/feature_window.h"

#include <QEvent>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

#include "ui/kit/window_placement.h"

namespace vorlane {

FeatureWindow::~FeatureWindow() {
  release();
}

void FeatureWindow::show(const QString& title, QSize size, bool resizable, bool reuseVisible,
                         const Builder& content) {
  if (reuseVisible && window_ && !closed_ && window_->isVisible()) {
    bringToFront(*window_);
    return;
  }
  // A closed window is on its way out (it may be closing from its own slot): it goes in
  // the loop as planned, and a new one takes its place.
  if (closed_) release();
  const bool made = !window_;
  if (made) makeWindow(size, resizable);
  window_->setWindowTitle(title);
  dropContent();
  const QPointer<FeatureWindow> self(this);
  const CloseAction close = [self] {
    if (self && self->window_ && !self->closed_) self->window_->close();
  };
  if (QWidget* built = content ? content(close) : nullptr) {
    content_ = built;
    window_->layout()->addWidget(built);
  }
  fitHeight();
  // Placed once its height is known, so a window as tall as its content is centred.
  if (made) place();
  bringToFront(*window_);
}

void FeatureWindow::makeWindow(QSize size, bool resizable) {
  window_ = new QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                     Qt::WindowCloseButtonHint);
  window_->setAttribute(Qt::WA_DeleteOnClose);
  closed_ = false;
  auto* layout = new QVBoxLayout(window_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  resizable_ = resizable;
  baseHeight_ = size.height();
  if (resizable) {
    window_->resize(lastGeometry_ ? lastGeometry_->size() : size);
  } else {
    window_->setFixedSize(size.width(), std::max(size.height(), 1));
  }
  window_->installEventFilter(this);
}

void FeatureWindow::place() {
  if (lastGeometry_) {
    window_->move(lastGeometry_->topLeft());
  } else {
    centreOnPointerScreen(*window_);
  }
}

void FeatureWindow::release() {
  if (!window_) return;
  window_->removeEventFilter(this);
  if (closed_) retired_.add(window_);
  if (!closed_) delete window_.data();
  window_ = nullptr;
  closed_ = false;
}

void FeatureWindow::dropContent() {
  if (!content_) return;
  QWidget* old = content_;
  content_ = nullptr;
  window_->layout()->removeWidget(old);
  old->hide();
  // The close usually comes from a slot of this very content: delete it after that returns.
  old->deleteLater();
}

void FeatureWindow::fitHeight() {
  if (resizable_ || !content_) return;
  const int width = window_->width();
  const QLayout* layout = window_->layout();
  const int needed = layout->hasHeightForWidth() ? layout->totalMinimumHeightForWidth(width)
                                                 : layout->totalMinimumSize().height();
  const int height = std::max(baseHeight_, needed);
  if (height != window_->height()) window_->setFixedSize(width, height);
}

bool FeatureWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_) {
    if (event->type() == QEvent::Close && !closed_) {
      dropContent();
      lastGeometry_ = QRect(window_->pos(), window_->size());
      // Deleted on close: a closed window keeps no native window nor backing store.
      closed_ = true;
    }
    // Reaches the window only when the content left Escape alone, wherever the focus is.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
      window_->close();
      return true;
    }
    // A line that appears or wraps further must not be cut off.
    if (event->type() == QEvent::LayoutRequest) fitHeight();
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vorlane
