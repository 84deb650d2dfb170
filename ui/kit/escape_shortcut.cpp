#include "ui/kit/escape_shortcut.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPointer>
#include <QShortcut>
#include <QWidget>

namespace vorlane {
namespace {

// A drop-down list hides itself on Escape but leaves the key unclaimed, so the window's
// Escape shortcut fired right after and closed the window too. Seen first, before the list's
// own handling, the key closes the popup and is claimed.
class PopupEscape final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ShortcutOverride) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && closeOpenPopup()) {
        event->accept();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

void guardPopups() {
  static QPointer<QObject> guard;
  if (guard || qApp == nullptr) return;
  guard = new PopupEscape(qApp);
  qApp->installEventFilter(guard);
}

}  // namespace

bool closeOpenPopup() {
  QWidget* popup = QApplication::activePopupWidget();
  if (popup == nullptr) return false;
  if (auto* box = qobject_cast<QComboBox*>(popup->parentWidget())) {
    box->hidePopup();
  } else {
    popup->close();
  }
  return true;
}

QShortcut* escapeShortcut(QWidget& owner, std::function<void()> cancel) {
  guardPopups();
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &owner);
  QObject::connect(escape, &QShortcut::activated, &owner, [cancel = std::move(cancel)] {
    if (closeOpenPopup()) return;
    if (cancel) cancel();
  });
  return escape;
}

}  // namespace vorlane
