#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <functional>

namespace vorlane {

// The few ways the services talk to a message bus.
class DBusConnection {
 public:
  using ReplyHandler = std::function<void(const QDBusMessage& reply)>;

  DBusConnection() = default;
  DBusConnection(const DBusConnection&) = delete;
  DBusConnection& operator=(const DBusConnection&) = delete;
  virtual ~DBusConnection() = default;

  // Sends a call whose answer nobody reads.
  virtual void send(const QDBusMessage& call) = 0;
  // Sends a call without blocking; `onReply` runs once on the main thread, later, with the
  // reply or an error message (no bus, no such service, time-out).
  virtual void call(const QDBusMessage& call, ReplyHandler onReply) = 0;
};

// Over a Qt connection, by default the session bus.
class QtDBusConnection final : public DBusConnection {
 public:
  // Replies that take longer than this count as failed.
  static constexpr int callTimeoutMs = 10000;

  QtDBusConnection();
  explicit QtDBusConnection(QDBusConnection connection);

  void send(const QDBusMessage& call) override;
  void call(const QDBusMessage& call, ReplyHandler onReply) override;

 private:
  QDBusConnection connection_;
  QObject context_;
};

}  // namespace vorlane
