#include "ui/kit/feature_window.h"

#include <QEvent>
#include <QKeyEvent>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWidget>
#include <QWidgetItem>
#include <algorithm>

#include "ui/kit/escape_shortcut.h"
#include "ui/kit/window_content.h"
#include "ui/kit/window_placement.h"

namespace vorlane {

FeatureWindow::~FeatureWindow() { release(); }

void FeatureWindow::show(const QString& title, QSize size, ShowOptions options,
                         const Builder& content) {
  if (options.reuseVisible && window_ && !closed_ && window_->isVisible()) {
    bringToFront(*window_);
    return;
  }
  // A closed window is on its way out (it may be closing from its own slot): it goes in
  // the loop as planned, and a new one takes its place.
  if (closed_) release();
  const bool made = !window_;
  if (made) makeWindow(size, options.resizable);
  window_->setWindowTitle(title);
  dropContent();
  const QPointer<FeatureWindow> self(this);
  const CloseAction close = [self] {
    if (self && self->window_ && !self->closed_) self->window_->close();
  };
  if (QWidget* built = content ? content(close) : nullptr) {
    window_->layout()->addWidget(built);
    setContent(built);
    if (WindowContent* contract = this->contract()) contract->setCloseAction(close);
  }
  fitHeight();
  // Placed once its height is known, so a window as tall as its content is centred.
  if (made) place();
  bringToFront(*window_);
}

QWidget* FeatureWindow::open(const std::function<QWidget*()>& make, bool keepSize) {
  if (closed_) release();
  if (!window_) {
    QWidget* made = make ? make() : nullptr;
    if (made == nullptr) return nullptr;
    resizable_ = keepSize;
    whole_ = true;
    made->setAttribute(Qt::WA_DeleteOnClose);
    adopt(made);
    setContent(made);
    place();
  }
  bringToFront(*window_);
  return window_;
}

void FeatureWindow::retire() {
  if (!window_) return;
  window_->removeEventFilter(this);
  window_->hide();
  window_->deleteLater();
  retired_.add(window_);
  window_ = nullptr;
  content_ = nullptr;
  closed_ = false;
}

void FeatureWindow::makeWindow(QSize size, bool resizable) {
  auto* window = new QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                          Qt::WindowCloseButtonHint);
  window->setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  resizable_ = resizable;
  whole_ = false;
  baseHeight_ = size.height();
  if (resizable) {
    window->resize(lastGeometry_ && placement_ == Placement::whereLeft ? lastGeometry_->size()
                                                                       : size);
  } else {
    window->setFixedSize(size.width(), std::max(size.height(), 1));
  }
  adopt(window);
}

void FeatureWindow::adopt(QWidget* window) {
  window_ = window;
  closed_ = false;
  window_->installEventFilter(this);
}

void FeatureWindow::setContent(QWidget* content) {
  content_ = content;
  // Escape from inside the fields is a shortcut, which comes before the fields; the rest
  // reaches the window's filter once the content's controls have left the key alone.
  WindowContent* contract = this->contract();
  if (contract != nullptr && contract->escapeAction() &&
      contract->escapeReach() == WindowContent::EscapeReach::fromFields) {
    const QPointer<WindowContent> target(contract);
    escapeShortcut(*contract, [target] {
      if (target && target->escapeAction()) target->escapeAction()();
    })->setContext(Qt::WidgetWithChildrenShortcut);
  }
}

WindowContent* FeatureWindow::contract() const {
  return dynamic_cast<WindowContent*>(content_.data());
}

void FeatureWindow::place() {
  if (lastGeometry_ && placement_ == Placement::whereLeft) {
    if (whole_ && resizable_) window_->resize(lastGeometry_->size());
    window_->move(lastGeometry_->topLeft());
    // The screen it was left on may have gone or shrunk since.
    keepWithinScreen(*window_);
  } else {
    centreOnPointerScreen(*window_);
  }
  // Placed with the frame of another window, or none: checked again once it has its own.
  placedBeforeFrame_ = window_->frameGeometry() == window_->geometry() &&
                       !window_->windowFlags().testFlag(Qt::FramelessWindowHint);
}

void FeatureWindow::release() {
  if (!window_) return;
  window_->removeEventFilter(this);
  if (closed_) retired_.add(window_);
  if (!closed_) delete window_.data();
  window_ = nullptr;
  content_ = nullptr;
  closed_ = false;
}

void FeatureWindow::dropContent() {
  if (!content_ || whole_) return;
  QWidget* old = content_;
  content_ = nullptr;
  if (scroll_) {
    // The next content starts unscrolled, as tall as it needs where the screen has room.
    scroll_->takeWidget();
    window_->layout()->removeWidget(scroll_);
    scroll_->deleteLater();
    scroll_ = nullptr;
  }
  window_->layout()->removeWidget(old);
  old->hide();
  // The close usually comes from a slot of this very content: delete it after that returns.
  old->deleteLater();
}

void FeatureWindow::fitHeight() {
  if (resizable_ || whole_ || !content_) return;
  const int width = window_->width();
  const QLayout* layout = window_->layout();
  int needed = layout->hasHeightForWidth() ? layout->totalMinimumHeightForWidth(width)
                                           : layout->totalMinimumSize().height();
  if (scroll_) {
    const QWidgetItem item(content_);
    needed =
        item.hasHeightForWidth() ? item.minimumHeightForWidth(width) : item.minimumSize().height();
  }
  int height = std::max(baseHeight_, needed);
  // Taller than the screen has room for: as tall as the room, its content scrolling.
  if (const int room = roomOnScreen(*window_).height(); height > room) {
    scrollContent();
    height = room;
  }
  if (height != window_->height()) window_->setFixedSize(width, height);
}

void FeatureWindow::scrollContent() {
  if (scroll_) return;
  auto* scroll = new QScrollArea(window_);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  delete window_->layout()->replaceWidget(content_, scroll);
  scroll->setWidget(content_);
  scroll_ = scroll;
}

bool FeatureWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == window_) {
    if (event->type() == QEvent::Close && !closed_) {
      dropContent();
      lastGeometry_ = QRect(window_->pos(), window_->size());
      // Deleted on close: a closed window keeps no native window nor backing store.
      closed_ = true;
    }
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      WindowContent* contract = this->contract();
      // Reaches the window only when no control took it.
      if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && contract != nullptr &&
          contract->returnAction()) {
        const auto action = contract->returnAction();
        action();
        return true;
      }
      if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        if (contract != nullptr && contract->escapeAction()) {
          const auto action = contract->escapeAction();
          action();
        } else {
          window_->close();
        }
        return true;
      }
    }
    // A line that appears or wraps further must not be cut off.
    if (event->type() == QEvent::LayoutRequest) fitHeight();
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && placedBeforeFrame_ &&
        window_->frameGeometry() != window_->geometry()) {
      placedBeforeFrame_ = false;
      keepWithinScreen(*window_);
      fitHeight();
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vorlane
