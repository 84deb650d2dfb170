#include "ui/windows/calendar_consent/calendar_consent_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <optional>

#include "platform/calendar/calendar_consent.h"
#include "platform/calendar/ics_availability_source.h"
#include "platform/persistence/in_memory_record_store.h"
#include "tests/support/fake_busy_reader.h"
#include "ui/kit/text_roles.h"
#include "ui/windows/calendar_consent/calendar_consent_prompt.h"

namespace vorlane {
namespace {

using Answer = ConsentPrompt::Answer;

// The real source asking through the real prompt, over records in memory.
class CalendarConsentTest : public ::testing::Test {
 public:
  struct Reply {
    int calls = 0;
    bool granted = false;
    bool failed = false;
  };

  void ask() {
    source.requestAccess([this](bool granted, std::exception_ptr error) {
      ++reply.calls;
      reply.granted = granted;
      reply.failed = error != nullptr;
    });
  }
  CalendarConsentWindow& window() {
    EXPECT_NE(prompt.window(), nullptr);
    return *prompt.window();
  }
  QPushButton* button(const char* name) {
    return window().findChild<QPushButton*>(QString::fromLatin1(name));
  }
  std::optional<std::string> stored() const { return records.rawBytes(CalendarConsent::key); }
  // Qt's QTRY_ macros report to QTest, not to GoogleTest: wait, then check here.
  void settle() {
    EXPECT_TRUE(QTest::qWaitFor([this] { return reply.calls >= 1; }, 2000)) << "no answer";
    EXPECT_EQ(reply.calls, 1) << "the request was not answered exactly once";
  }

  InMemoryRecordStore records;
  CalendarConsentPrompt prompt;
  IcsAvailabilitySource source{records, prompt, std::make_shared<testing::FakeBusyReader>()};
  Reply reply;
};

TEST_F(CalendarConsentTest, TheAnswerIsStoredAndClosingStoresNothing) {
  struct Row {
    const char* name;
    std::function<void(CalendarConsentTest&)> act;
    bool granted;
    std::optional<std::string> stored;
    CalendarAccess access;
  };
  const Row rows[] = {
      {"Allow",
       [](CalendarConsentTest& t) { QTest::mouseClick(t.button("allow"), Qt::LeftButton); }, true,
       "true", CalendarAccess::granted},
      {"Don't Allow",
       [](CalendarConsentTest& t) { QTest::mouseClick(t.button("refuse"), Qt::LeftButton); }, false,
       "false", CalendarAccess::refused},
      {"Return allows",
       [](CalendarConsentTest& t) { QTest::keyClick(&t.window(), Qt::Key_Return); }, true, "true",
       CalendarAccess::granted},
      {"the close button", [](CalendarConsentTest& t) { t.window().close(); }, false, std::nullopt,
       CalendarAccess::notAsked},
      {"Escape", [](CalendarConsentTest& t) { QTest::keyClick(&t.window(), Qt::Key_Escape); },
       false, std::nullopt, CalendarAccess::notAsked},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    records = InMemoryRecordStore{};
    reply = {};
    ask();
    ASSERT_TRUE(window().isVisible());
    EXPECT_FALSE(window().isModal());
    // Each question has a new window: the keys reach it once it is active.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    const QPointer<CalendarConsentWindow> asked(prompt.window());
    row.act(*this);
    settle();
    EXPECT_EQ(prompt.window(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(asked.isNull()) << "the answered window is deleted";
    EXPECT_EQ(reply.granted, row.granted);
    EXPECT_FALSE(reply.failed);
    EXPECT_EQ(stored(), row.stored);
    EXPECT_EQ(source.access(), row.access);
  }
}

TEST_F(CalendarConsentTest, ReturnOnTheFocusedRefusalRefuses) {
  ask();
  button("refuse")->setFocus();
  QTest::keyClick(button("refuse"), Qt::Key_Return);
  settle();
  EXPECT_EQ(stored(), "false");
}

TEST_F(CalendarConsentTest, NamesThePlacesAndWhatIsRead) {
  ask();
  EXPECT_EQ(window().windowTitle(), QStringLiteral("Calendar access \u2014 Vorlane"));
  const auto* places = window().findChild<QLabel*>(QStringLiteral("places"));
  ASSERT_NE(places, nullptr);
  EXPECT_EQ(places->text(), QStringLiteral("\u2022 fake"));
  const auto* promise = window().findChild<QLabel*>(QStringLiteral("promise"));
  ASSERT_NE(promise, nullptr);
  EXPECT_EQ(promise->text(),
            QStringLiteral("Vorlane can read your whole calendar, but it only reads "
                           "availability. It never edits events, saves their details, or sends "
                           "them anywhere."));
  EXPECT_EQ(button("allow")->text(), QStringLiteral("Allow"));
  EXPECT_EQ(button("refuse")->text(), QStringLiteral("Don\u2019t Allow"));
}

// The title is sized like every other window's, from the user's font.
TEST_F(CalendarConsentTest, TheTitleTakesTheKitsRole) {
  const QFont saved = QApplication::font();
  QFont large = saved;
  large.setPixelSize(18);
  QApplication::setFont(large);
  ask();
  QApplication::setFont(saved);
  const auto* title = window().findChild<QLabel*>(QStringLiteral("title"));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), QStringLiteral("Let Vorlane read your calendars?"));
  EXPECT_EQ(title->font().pixelSize(), rolePixelSize(TextRole::title2, 18));
  EXPECT_EQ(title->font().weight(), QFont::DemiBold);
  window().close();
  settle();
}

TEST(CalendarConsentPlaces, FoldersAreWrittenFromHomeWithAClosingSlash) {
  struct Row {
    const char* name;
    std::string place;
    std::string home;
    QString shown;
  };
  const Row rows[] = {
      {"our folder", "/home/ada/.local/share/Vorlane/calendars", "/home/ada",
       "~/.local/share/Vorlane/calendars/"},
      {"already closed", "/home/ada/.local/share/evolution/calendar/", "/home/ada",
       "~/.local/share/evolution/calendar/"},
      {"a neighbour's home is not ours", "/home/adam/cal", "/home/ada", "/home/adam/cal/"},
      {"outside home", "/srv/calendars", "/home/ada", "/srv/calendars/"},
      {"no home", "/home/ada/cal", "", "/home/ada/cal/"},
      {"the service, in words", "the calendars of GNOME Online Accounts and Evolution", "/home/ada",
       "the calendars of GNOME Online Accounts and Evolution"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(consentPlaceText(row.place, row.home), row.shown);
  }
}

TEST(CalendarConsentPromptTest, QuestionsAskedWhileUpShareOneAnswer) {
  CalendarConsentPrompt prompt;
  std::vector<Answer> answers;
  prompt.ask({"/a"}, [&](Answer a) { answers.push_back(a); });
  const QPointer<CalendarConsentWindow> first(prompt.window());
  prompt.ask({"/a"}, [&](Answer a) { answers.push_back(a); });
  EXPECT_EQ(prompt.window(), first.data());  // one window while up
  QTest::mouseClick(first->findChild<QPushButton*>(QStringLiteral("allow")), Qt::LeftButton);
  EXPECT_EQ(answers, (std::vector<Answer>{Answer::granted, Answer::granted}));
  EXPECT_FALSE(first->isVisible());

  // Asked again later, a new window asks afresh; the answered one is gone.
  prompt.ask({"/a"}, [&](Answer a) { answers.push_back(a); });
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull());
  QPointer<CalendarConsentWindow> second(prompt.window());
  ASSERT_FALSE(second.isNull());
  EXPECT_TRUE(second->isVisible());
  second->close();
  EXPECT_EQ(answers.back(), Answer::dismissed);
  EXPECT_EQ(answers.size(), 3u);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(second.isNull());
}

// An answer that asks again (a caller retrying) gets a window that stays up.
TEST(CalendarConsentPromptTest, AQuestionAskedFromAnAnswerGetsAWindowThatStays) {
  CalendarConsentPrompt prompt;
  int answers = 0;
  prompt.ask({"/a"}, [&](Answer) {
    ++answers;
    prompt.ask({"/b"}, [&](Answer) { ++answers; });
  });
  const QPointer<CalendarConsentWindow> first(prompt.window());
  first->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(answers, 1);
  EXPECT_TRUE(first.isNull());
  ASSERT_NE(prompt.window(), nullptr);
  EXPECT_TRUE(prompt.window()->isVisible());
}

TEST(CalendarConsentPromptTest, TheWindowGrowsToShowEveryPlace) {
  CalendarConsentPrompt prompt;
  prompt.ask({"/a"}, nullptr);
  const int oneLine = prompt.window()->height();
  EXPECT_EQ(prompt.window()->width(), CalendarConsentWindow::fixedWidth);
  prompt.ask(std::vector<std::string>(8, "/srv/" + std::string(120, 'x')), nullptr);
  const auto* places = prompt.window()->findChild<QLabel*>(QStringLiteral("places"));
  EXPECT_EQ(prompt.window()->width(), CalendarConsentWindow::fixedWidth);
  EXPECT_GT(prompt.window()->height(), oneLine);
  EXPECT_GE(places->height(), places->heightForWidth(places->width()));
}

TEST(CalendarConsentPromptTest, AQuestionLeftOpenAtTheEndIsAnsweredAsClosed) {
  std::vector<Answer> answers;
  {
    CalendarConsentPrompt prompt;
    prompt.ask({"/a"}, [&](Answer a) { answers.push_back(a); });
  }
  EXPECT_EQ(answers, (std::vector<Answer>{Answer::dismissed}));
}

}  // namespace
}  // namespace vorlane
