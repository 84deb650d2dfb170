#pragma once

#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace vorlane {

// Closed windows whose deletion the event loop still has to carry out. Their owner keeps
// them here so that they go with it at the latest: their contents may use what the owner
// holds. Main thread only.
class RetiredWindows final {
 public:
  RetiredWindows() = default;
  RetiredWindows(const RetiredWindows&) = delete;
  RetiredWindows& operator=(const RetiredWindows&) = delete;
  ~RetiredWindows() {
    for (const QPointer<QWidget>& window : windows_) delete window.data();
  }

  // Keeps `window` until the loop deletes it; forgets those it already has.
  void add(QWidget* window) {
    std::erase_if(windows_, [](const QPointer<QWidget>& old) { return old.isNull(); });
    if (window != nullptr) windows_.emplace_back(window);
  }

 private:
  std::vector<QPointer<QWidget>> windows_;
};

}  // namespace vorlane
