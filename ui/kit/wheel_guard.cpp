#include "ui/kit/wheel_guard.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace vorlane {
namespace {

// A wheel event the unfocused control never sees goes to the scroll area around it.
class UnfocusedWheel final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Wheel) {
      auto* control = static_cast<QWidget*>(watched);
      if (!control->hasFocus()) {
        QWidget* area = control->parentWidget();
        while (area != nullptr && qobject_cast<QAbstractScrollArea*>(area) == nullptr) {
          area = area->parentWidget();
        }
        if (area != nullptr) {
          QCoreApplication::sendEvent(static_cast<QAbstractScrollArea*>(area)->viewport(), event);
        }
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

bool takesTheWheel(const QWidget& widget) {
  return qobject_cast<const QAbstractSlider*>(&widget) != nullptr ||
         qobject_cast<const QAbstractSpinBox*>(&widget) != nullptr ||
         qobject_cast<const QComboBox*>(&widget) != nullptr;
}

}  // namespace

void wheelScrollsThePage(QWidget& page) {
  UnfocusedWheel* filter = nullptr;
  // Without Q_OBJECT, findChild() would take any child for the filter.
  for (QObject* child : page.children()) {
    if (auto* existing = dynamic_cast<UnfocusedWheel*>(child)) filter = existing;
  }
  if (filter == nullptr) filter = new UnfocusedWheel(&page);
  for (QWidget* control : page.findChildren<QWidget*>()) {
    if (!takesTheWheel(*control)) continue;
    // A drop-down list takes the focus from the wheel itself unless told otherwise.
    control->setFocusPolicy(Qt::StrongFocus);
    control->removeEventFilter(filter);
    control->installEventFilter(filter);
  }
}

}  // namespace vorlane
