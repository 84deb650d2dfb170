#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/desktop/hot_keys/hot_key_handle.h"

namespace vorlane {

// One system-wide shortcut through the desktop portal's GlobalShortcuts interface, for
// Wayland sessions, where X key grabs see keys only while an X window has focus. It opens
// its own portal session and binds one shortcut in it; the portal (and the user, in its
// dialog) decides the actual keys. Each step answers asynchronously: "hotkey registered with
// identifier %u" is logged once the portal has bound the shortcut, "failed to register
// hotkey: %d" when it refuses (its response code) or fails (-1). Main thread only; the
// action runs on the portal's Activated signal.
class PortalHotKey final : public QObject, public HotKeyHandle {
  Q_OBJECT

 public:
  using Handler = std::function<void()>;

  // `trigger` is the preferred trigger ("CTRL+ALT+LOGO+m"), empty for none; `description`
  // is what the portal shows the user.
  [[nodiscard]] static std::unique_ptr<PortalHotKey> create(QDBusConnection bus,
                                                            std::uint32_t identifier,
                                                            QString trigger, QString description,
                                                            Handler handler);
  // Closes the portal session, which releases the shortcut.
  ~PortalHotKey() override;

  std::uint32_t identifier() const override { return identifier_; }

 private slots:
  void onSessionCreated(uint response, const QVariantMap& results);
  void onBound(uint response, const QVariantMap& results);
  void onActivated(const QDBusObjectPath& session, const QString& shortcutID, qulonglong timestamp,
                   const QVariantMap& options);

 private:
  PortalHotKey(QDBusConnection bus, std::uint32_t identifier, QString trigger, QString description,
               Handler handler);
  void start();
  // Sends `call` and waits for the Response of the request it opens, with `slot`.
  void request(const QString& method, const QList<QVariant>& arguments, const QString& token,
               const char* slot);
  void listenForResponse(const QString& path, const char* slot);
  void stopListening();
  void fail(int status);

  QDBusConnection bus_;
  std::uint32_t identifier_;
  QString trigger_;
  QString description_;
  Handler handler_;
  QString shortcutID_;
  QString requestPath_;
  const char* responseSlot_ = nullptr;
  QString session_;
  bool bound_ = false;
  bool failed_ = false;
};

}  // namespace vorlane
