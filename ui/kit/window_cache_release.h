#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

class QGuiApplication;

namespace vorlane {

// Gives back what drawing the windows left behind once the last of them has closed: Qt keeps
// every icon and style element it drew in its pixmap cache under keys no later window asks
// for again (each window makes its icons anew), so each opening of a window would add to it
// up to the cache's limit of several megabytes; and it keeps a font engine for every size
// and weight drawn, until their glyphs pass 4 MB. The mascot makes again the few it uses.
class WindowCacheRelease final : public QObject {
 public:
  // `delay` lets the closed windows' deferred deletion run first.
  explicit WindowCacheRelease(QGuiApplication& application,
                              std::chrono::milliseconds delay = std::chrono::seconds(1));

  // How often the caches were given back so far.
  int releases() const { return releases_; }

 private:
  void releaseUnlessAWindowShows();

  QTimer timer_;
  int releases_ = 0;
};

}  // namespace vorlane
