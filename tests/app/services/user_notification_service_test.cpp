#include "app/services/user_notification_service.h"

#include <gtest/gtest.h>

#include "app/logging/log_capture.h"

namespace vorlane {
namespace {

using Lines = std::vector<LogCapture::Line>;

// Records what is sent; the one pending reply is delivered when the test says so.
class FakeDBusConnection final : public DBusConnection {
 public:
  std::vector<QDBusMessage> sent;
  std::vector<std::pair<QDBusMessage, ReplyHandler>> pending;

  void send(const QDBusMessage& call) override { sent.push_back(call); }
  void call(const QDBusMessage& call, ReplyHandler onReply) override {
    pending.emplace_back(call, std::move(onReply));
  }
  void reply(const std::function<QDBusMessage(const QDBusMessage& call)>& make) {
    auto [call, handler] = pending.at(0);
    pending.clear();
    handler(make(call));
  }
};

struct Fixture {
  FakeDBusConnection* bus = new FakeDBusConnection;
  UserNotificationService service{std::unique_ptr<DBusConnection>(bus)};
};

TEST(UserNotificationService, EscapesBodyMarkupUnlessTheServerShowsPlainText) {
  const std::string body = "Call <Ann> & Bob &amp; co";
  const QString escaped = "Call &lt;Ann&gt; &amp; Bob &amp;amp; co";
  struct Row {
    const char* name;
    std::optional<QStringList> capabilities;
    QString expected;
  };
  const Row rows[] = {
      {"capabilities not known yet", std::nullopt, escaped},
      {"server reads markup", QStringList{"body", "body-markup"}, escaped},
      {"server shows plain text", QStringList{"body", "actions"}, QString::fromStdString(body)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Fixture f;
    if (row.capabilities) {
      f.service.requestAuthorization();
      f.bus->reply([&](const QDBusMessage& call) { return call.createReply(QVariant(*row.capabilities)); });
    }
    f.service.postSilent("<Vorlane & co>", body);
    ASSERT_EQ(f.bus->sent.size(), 1u);
    EXPECT_EQ(f.bus->sent[0].member(), "Notify");
    EXPECT_EQ(f.bus->sent[0].arguments().at(4).toString(), row.expected);
    // The summary is plain text by definition: never escaped.
    EXPECT_EQ(f.bus->sent[0].arguments().at(3).toString(), "<Vorlane & co>");
  }
}

TEST(UserNotificationService, AuthorizationLogsOnlyWhenTheAnswerArrives) {
  struct Row {
    const char* name;
    std::function<QDBusMessage(const QDBusMessage&)> answer;
    LogCapture::Line expected;
  };
  const Row rows[] = {
      {"server answers",
       [](const QDBusMessage& call) { return call.createReply(QVariant(QStringList{"body"})); },
       {LogLevel::info, "lifecycle", "notification authorization granted: true"}},
      {"no server",
       [](const QDBusMessage& call) {
         return call.createErrorReply("org.freedesktop.DBus.Error.ServiceUnknown", "not owned");
       },
       // The reason stays out of the log.
       {LogLevel::error, "lifecycle", "notification authorization failed: <private>"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Fixture f;
    LogCapture log;
    f.service.requestAuthorization();
    ASSERT_EQ(f.bus->pending.size(), 1u);
    EXPECT_EQ(f.bus->pending[0].first.member(), "GetCapabilities");
    EXPECT_TRUE(log.lines().empty());
    f.bus->reply(row.answer);
    EXPECT_EQ(log.lines(), Lines{row.expected});
  }
}

}  // namespace
}  // namespace vorlane
