#pragma once

// Servers a test starts for itself and stops when it is done: a message bus with no
// service activation, and a sound server whose only sink discards what it plays.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace vorlane::testing {

class PrivateDaemon {
 public:
  PrivateDaemon() = default;
  PrivateDaemon(const PrivateDaemon&) = delete;
  PrivateDaemon& operator=(const PrivateDaemon&) = delete;
  ~PrivateDaemon() {
    if (process_.state() != QProcess::NotRunning) {
      process_.terminate();
      if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
      }
    }
  }

  // What the daemon said, for failure messages.
  QString output() { return QString::fromUtf8(process_.readAllStandardError()); }

 protected:
  QTemporaryDir dir_;
  QProcess process_;
};

class PrivateDBus : public PrivateDaemon {
 public:
  bool start() {
    if (!dir_.isValid()) {
      return false;
    }
    QFile config(dir_.filePath("session.conf"));
    if (!config.open(QIODevice::WriteOnly)) {
      return false;
    }
    // No <standard_session_servicedirs/>: nothing is started on demand.
    config.write(QStringLiteral(
                     "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                     " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig>\n"
                     "  <type>session</type>\n"
                     "  <listen>unix:dir=%1</listen>\n"
                     "  <auth>EXTERNAL</auth>\n"
                     "  <policy context=\"default\">\n"
                     "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                     "    <allow eavesdrop=\"true\"/>\n"
                     "    <allow own=\"*\"/>\n"
                     "  </policy>\n"
                     "</busconfig>\n")
                     .arg(dir_.path())
                     .toUtf8());
    config.close();
    process_.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address")});
    if (!process_.waitForStarted(5000)) {
      return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (!process_.canReadLine() && clock.elapsed() < 10000 &&
           process_.state() == QProcess::Running) {
      process_.waitForReadyRead(100);
    }
    address_ = QString::fromUtf8(process_.readLine()).trimmed();
    return !address_.isEmpty();
  }
  const QString& address() const { return address_; }

 private:
  QString address_;
};

class PrivatePulseAudio : public PrivateDaemon {
 public:
  bool start() {
    if (!dir_.isValid()) {
      return false;
    }
    const QString socket = dir_.filePath("native");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Its own runtime and home folders: no cookie, socket or state of the user's is touched.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
    environment.insert(QStringLiteral("HOME"), dir_.path());
    environment.remove(QStringLiteral("PULSE_SERVER"));
    process_.setProcessEnvironment(environment);
    process_.start(QStringLiteral("pulseaudio"),
                   {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                    QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                    QStringLiteral("--system=no"), QStringLiteral("--log-target=stderr"),
                    QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=vorlane_test"),
                    QStringLiteral("-L"),
                    QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + socket});
    if (!process_.waitForStarted(5000)) {
      return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(socket) && clock.elapsed() < 10000 &&
           process_.state() == QProcess::Running) {
      QThread::msleep(20);
    }
    address_ = QStringLiteral("unix:") + socket;
    return QFile::exists(socket);
  }
  // For PULSE_SERVER.
  const QString& address() const { return address_; }

 private:
  QString address_;
};

}  // namespace vorlane::testing
