#pragma once

#include <QObject>

class QScreen;

namespace vorlane {

// One signal for every change that can move the mascot's column: a display added or
// removed, another primary display, a display's size or work area changed.
class ScreenChangeWatcher final : public QObject {
  Q_OBJECT
 public:
  explicit ScreenChangeWatcher(QObject* parent = nullptr);

 signals:
  void changed();

 private:
  void watch(QScreen* screen);
};

}  // namespace vorlane
