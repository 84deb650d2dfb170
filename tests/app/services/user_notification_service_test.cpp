#include "app/services/user_notification_service.h"

#include <QDBusError>
#include <QDBusMetaType>
#include <gtest/gtest.h>

#include "app/logging/log_capture.h"

namespace vorlane {
namespace {

using Lines = std::vector<LogCapture::Line>;

// The wire signature the arguments will be marshalled with.
QString signatureOf(const QDBusMessage& message) {
  QString signature;
  for (const QVariant& argument : message.arguments()) {
    signature += QString::fromLatin1(QDBusMetaType::typeToSignature(argument.metaType()));
  }
  return signature;
}

// Records what is sent; replies are delivered when the test says so.
class FakeDBusConnection final : public DBusConnection {
 public:
  std::vector<QDBusMessage> sent;
  std::vector<std::pair<QDBusMessage, ReplyHandler>> pending;

  void send(const QDBusMessage& call) override { sent.push_back(call); }
  void call(const QDBusMessage& call, ReplyHandler onReply) override {
    pending.emplace_back(call, std::move(onReply));
  }

  void answerCapabilities(const QStringList& capabilities) {
    auto [call, reply] = takePending();
    reply(call.createReply(QVariant(capabilities)));
  }
  void answerError(const QString& name, const QString& message) {
    auto [call, reply] = takePending();
    reply(call.createErrorReply(name, message));
  }

 private:
  std::pair<QDBusMessage, ReplyHandler> takePending() {
    auto first = pending.front();
    pending.erase(pending.begin());
    return first;
  }
};

class UserNotificationServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto owned = std::make_unique<FakeDBusConnection>();
    bus = owned.get();
    service = std::make_unique<UserNotificationService>(std::move(owned));
  }
  QString postedBody(std::size_t index) const { return bus->sent.at(index).arguments().at(4).toString(); }

  FakeDBusConnection* bus = nullptr;
  std::unique_ptr<UserNotificationService> service;
  LogCapture log;
};

TEST_F(UserNotificationServiceTest, PostsOneSilentNotifyThatNeverReplacesAnother) {
  service->postSilent("Vorlane", "Stretch your legs");
  service->postSilent("Vorlane", "Stretch your legs");
  ASSERT_EQ(bus->sent.size(), 2u);
  for (const QDBusMessage& m : bus->sent) {
    EXPECT_EQ(m.type(), QDBusMessage::MethodCallMessage);
    EXPECT_EQ(m.service(), "org.freedesktop.Notifications");
    EXPECT_EQ(m.path(), "/org/freedesktop/Notifications");
    EXPECT_EQ(m.interface(), "org.freedesktop.Notifications");
    EXPECT_EQ(m.member(), "Notify");
    // Servers reject any other signature (an int replaces_id gives "i").
    EXPECT_EQ(signatureOf(m), "susssasa{sv}i");
    const QVariantList args = m.arguments();
    ASSERT_EQ(args.size(), 8);
    EXPECT_EQ(args[0].toString(), "Vorlane");
    EXPECT_EQ(args[1].toUInt(), 0u);  // a fresh notification every time
    EXPECT_EQ(args[2].toString(), "");
    EXPECT_EQ(args[3].toString(), "Vorlane");
    EXPECT_EQ(args[4].toString(), "Stretch your legs");
    EXPECT_TRUE(args[5].toStringList().isEmpty());
    const QVariantMap hints = args[6].toMap();
    EXPECT_EQ(hints.value("suppress-sound"), QVariant(true));
    EXPECT_EQ(hints.value("desktop-entry"), QVariant(QString("com.corvantis.vorlane")));
    EXPECT_EQ(args[7].toInt(), -1);
  }
  EXPECT_TRUE(log.lines().empty());
}

TEST_F(UserNotificationServiceTest, BodyMarkupIsEscapedUnlessTheServerShowsPlainText) {
  const std::string body = "Call <Ann> & Bob > 3pm &amp; bring <b>cake</b>";
  const QString escaped =
      "Call &lt;Ann&gt; &amp; Bob &gt; 3pm &amp;amp; bring &lt;b&gt;cake&lt;/b&gt;";
  struct Row {
    const char* name;
    std::optional<QStringList> capabilities;
    QString expected;
  };
  const Row rows[] = {
      {"capabilities not known yet", std::nullopt, escaped},
      {"server reads markup", QStringList{"body", "body-markup", "actions"}, escaped},
      {"server shows plain text", QStringList{"body", "actions"}, QString::fromStdString(body)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetUp();
    if (row.capabilities) {
      service->requestAuthorization();
      bus->answerCapabilities(*row.capabilities);
    }
    service->postSilent("<Title & such>", body);
    ASSERT_EQ(bus->sent.size(), 1u);
    EXPECT_EQ(postedBody(0), row.expected);
    // The summary is plain text by definition.
    EXPECT_EQ(bus->sent[0].arguments().at(3).toString(), "<Title & such>");
  }
}

TEST_F(UserNotificationServiceTest, AuthorizationLogsTheAnswerWhenItArrives) {
  struct Row {
    const char* name;
    std::function<void(FakeDBusConnection&)> answer;
    Lines expected;
  };
  const Row rows[] = {
      {"server answers",
       [](FakeDBusConnection& b) { b.answerCapabilities({"body"}); },
       {{LogLevel::info, "lifecycle", "notification authorization granted: true"}}},
      {"no server",
       [](FakeDBusConnection& b) {
         b.answerError("org.freedesktop.DBus.Error.ServiceUnknown", "name not owned");
       },
       // The reason is private in the log.
       {{LogLevel::error, "lifecycle", "notification authorization failed: <private>"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetUp();
    LogCapture rowLog;
    service->requestAuthorization();
    ASSERT_EQ(bus->pending.size(), 1u);
    EXPECT_EQ(bus->pending[0].first.member(), "GetCapabilities");
    EXPECT_TRUE(rowLog.lines().empty());
    row.answer(*bus);
    EXPECT_EQ(rowLog.lines(), row.expected);
  }
}

TEST(EscapeMarkup, ReplacesOnlyTheThreeMarkupCharacters) {
  struct Row {
    QString text;
    QString expected;
  };
  const Row rows[] = {
      {"", ""},
      {"plain words, 'quotes' and \"doubles\"", "plain words, 'quotes' and \"doubles\""},
      {"a&b", "a&amp;b"},
      {"<<>>", "&lt;&lt;&gt;&gt;"},
      {"&lt;", "&amp;lt;"},
      {QString::fromUtf8("caf\xc3\xa9 <\xf0\x9f\x90\x92>"),
       QString::fromUtf8("caf\xc3\xa9 &lt;\xf0\x9f\x90\x92&gt;")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text.toStdString());
    EXPECT_EQ(escapeMarkup(row.text), row.expected);
  }
}

}  // namespace
}  // namespace vorlane
