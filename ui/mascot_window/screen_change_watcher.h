#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <cstdint>

class QScreen;

namespace vorlane {

// One signal for every change that can move the mascot's column: a display added or
// removed, another primary display, a display's size or work area changed, and, on X11,
// another workspace shown (a window manager may give each workspace its own work area).
class ScreenChangeWatcher final : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT
 public:
  explicit ScreenChangeWatcher(QObject* parent = nullptr);
  ~ScreenChangeWatcher() override;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 signals:
  void changed();

 private:
  void watch(QScreen* screen);
  void watchWorkspaces();

  // The X root window and the _NET_CURRENT_DESKTOP atom; 0 without X.
  std::uint32_t root_ = 0;
  std::uint32_t currentDesktop_ = 0;
};

}  // namespace vorlane
