#pragma once

#include <QColor>
#include <QString>
#include <functional>

class QWidget;

namespace vorlane {

// Lets the user pick a colour without waiting for it: choose() returns at once and `chosen`
// runs later on the main thread with the picked colour, at most once, never after `parent`
// is gone. A cancelled choice calls nothing. The chooser offers no opacity control.
class ColorChooser {
 public:
  virtual ~ColorChooser() = default;
  virtual void choose(QWidget& parent, const QColor& initial, const QString& title,
                      std::function<void(const QColor&)> chosen) = 0;
};

}  // namespace vorlane
