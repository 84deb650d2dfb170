#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <optional>

class QWidget;

namespace vorlane {

// Keeps a click from landing on a button that has just appeared or moved under a pointer
// that stayed where it was, the rule the mascot's pills follow: the content calls
// contentChanging() before it replaces or moves what may be under the pointer, and for the
// desktop's double-click interval a press at that spot reaches a button only if that very
// button was there before, in the same place. So the second click of a double click on a
// button whose row re-lays does nothing, instead of pressing what slid under the pointer.
// A press elsewhere, or after the interval, goes through as usual.
//
// Watches the mouse events of `area` and everything inside it; lives as long as `area`.
class ClickGuard final : public QObject {
 public:
  explicit ClickGuard(QWidget& area);

  void contentChanging();
  // Whether a press on a new button at the pointer's spot would be refused now.
  bool isPending() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool inArea(const QObject* object) const;
  bool refuses(QWidget& target, QPoint at) const;

  QWidget& area_;
  // Where the pointer was last seen over the area, in desktop coordinates.
  std::optional<QPoint> pointer_;
  // Where it was at the latest change, and the control under it then.
  QPoint changedAt_;
  QPointer<QWidget> before_;
  QRect beforeRect_;
  QElapsedTimer sinceChange_;
};

}  // namespace vorlane
