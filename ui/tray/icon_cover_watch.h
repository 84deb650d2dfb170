#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <functional>
#include <vector>

class QWidget;

namespace vorlane {

// Tells once when the panel under the tray's icon may show again, after windows of ours
// were found drawn over it: when one of them hides, moves, resizes or goes (a menu closing,
// a window moved away), a moment later, once the screen shows what was under it. A window
// drawn only in part (the mascot's column) can also leave the icon without any of these:
// the monkey moves within it, its frames painted in place. While such a window covers the
// icon it is looked at again every few seconds; otherwise nothing runs while waiting. Main
// thread only.
class IconCoverWatch final : public QObject {
 public:
  // `settle`: how long after a change the panel is read, once the screen shows what was
  // under the window; `partlyDrawn`: how often a window drawn in part is looked at.
  explicit IconCoverWatch(std::chrono::milliseconds settle = std::chrono::milliseconds(500),
                          std::chrono::milliseconds partlyDrawn = std::chrono::seconds(5));

  // Follows `windows` until one of them changes, then calls `uncovered` once; replaces what
  // was followed before.
  void follow(const std::vector<QWidget*>& windows, bool drawnInPart,
              std::function<void()> uncovered);
  // Follows nothing.
  void stop();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void changed();
  void tell();

  std::vector<QPointer<QWidget>> windows_;
  std::function<void()> uncovered_;
  QTimer settle_;
  QTimer partlyDrawn_;
};

}  // namespace vorlane
