#include "platform/services/user_notification_service.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

// Records what is sent; answers nothing, so the server's capabilities stay unknown.
class FakeDBusConnection final : public DBusConnection {
 public:
  std::vector<QDBusMessage> sent;
  std::vector<QDBusMessage> calls;

  void send(const QDBusMessage& message) override { sent.push_back(message); }
  void call(const QDBusMessage& message, ReplyHandler) override { calls.push_back(message); }
};

// Until the server has said it shows plain text, a body is taken as markup and escaped:
// reminder texts are typed by the user.
TEST(UserNotificationService, EscapesTheBodyWhileTheServerIsUnknown) {
  auto* bus = new FakeDBusConnection;
  UserNotificationService service{std::unique_ptr<DBusConnection>(bus)};
  service.queryCapabilities();
  ASSERT_EQ(bus->calls.size(), 1u);
  EXPECT_EQ(bus->calls[0].member(), "GetCapabilities");

  service.postSilent("<Vorlane & co>", "Call <Ann> & Bob &amp; co");
  ASSERT_EQ(bus->sent.size(), 1u);
  const QList<QVariant> arguments = bus->sent[0].arguments();
  EXPECT_EQ(bus->sent[0].member(), "Notify");
  EXPECT_EQ(arguments.at(3).toString(), "<Vorlane & co>");  // a summary is never markup
  EXPECT_EQ(arguments.at(4).toString(), "Call &lt;Ann&gt; &amp; Bob &amp;amp; co");
}

}  // namespace
}  // namespace vorlane
