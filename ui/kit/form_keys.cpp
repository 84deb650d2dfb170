#include "ui/kit/form_keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QShortcut>
#include <QWidget>

#include "ui/kit/escape_shortcut.h"

namespace vorlane {
namespace {

class FormKeys final : public QObject {
 public:
  FormKeys(QWidget& content, QWidget& field, std::function<void()> submit)
      : QObject(&content), field_(&field), submit_(std::move(submit)) {
    content.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && submit_) {
        submit_();
        return true;
      }
    } else if (event->type() == QEvent::Show && field_) {
      field_->setFocus(Qt::OtherFocusReason);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QPointer<QWidget> field_;
  std::function<void()> submit_;
};

}  // namespace

void bindFormKeys(QWidget& content, QWidget& field, std::function<void()> submit,
                  std::function<void()> cancel) {
  new FormKeys(content, field, std::move(submit));
  escapeShortcut(content, std::move(cancel))->setContext(Qt::WidgetWithChildrenShortcut);
}

}  // namespace vorlane
