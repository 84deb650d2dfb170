#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace vorlane {

// Tells when what a wall clock shows may have jumped: the system clock was set or the
// time zone changed. Tests emit `changed` themselves.
class TimeChangeNotifier : public QObject {
  Q_OBJECT

 signals:
  void changed();
};

// The system's own: a real-time timer that the kernel cancels when the clock is set, and a
// watch on the zone link (/etc/localtime) and its folder, since changing the zone replaces
// the link. Linux announces no locale change; the locale is read when the text is formatted.
class SystemTimeChangeNotifier final : public TimeChangeNotifier {
  Q_OBJECT

 public:
  explicit SystemTimeChangeNotifier(QString zoneLink = "/etc/localtime");
  ~SystemTimeChangeNotifier() override;

 private:
  void arm();
  void clockSet();
  void zoneMaybeChanged(bool rewritten);

  int timerFd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  QFileSystemWatcher zoneWatcher_;
  QString zoneLink_;
  QString zoneTarget_;
};

}  // namespace vorlane
