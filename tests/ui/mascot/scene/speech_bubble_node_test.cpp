#include "ui/mascot/scene/speech_bubble_node.h"

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(SpeechBubble, ShortTextGivesTheSmallestBubble) {
  for (const char* text : {"", "Hi"}) {
    SpeechBubbleNode bubble;
    bubble.show(text, {200, 100}, 198, Visit::BubbleStyle::headline);
    EXPECT_EQ(bubble.bubbleSize(), QSizeF(64, 44)) << text;
    EXPECT_EQ(bubble.position(), QPointF(200 - 32, 100)) << text;
    EXPECT_EQ(bubble.xScale(), 0.85) << text;
  }
}

TEST(SpeechBubble, LongTextIsCutAtTheStylesLineLimitAndNeverOverflows) {
  const QString text =
      "Remember to send the quarterly report to the finance team, call the dentist about "
      "Thursday, water the plants on the balcony and book the train for the weekend trip";
  struct Row {
    Visit::BubbleStyle style;
    int lines;
    double fontSize;
  };
  for (const Row& row :
       {Row{Visit::BubbleStyle::headline, 3, 20}, Row{Visit::BubbleStyle::note, 6, 15}}) {
    SpeechBubbleNode bubble;
    bubble.show(text, {200, 100}, 198, row.style);
    EXPECT_EQ(bubble.label()->lines().size(), row.lines);
    EXPECT_EQ(bubble.label()->fontSize(), row.fontSize);
    EXPECT_EQ(bubble.bubbleSize().width(), 198);
    EXPECT_LE(bubble.label()->textSize().width(), 198 - 34);
    EXPECT_GE(bubble.bubbleSize().height(), bubble.label()->textSize().height() + 26);
  }
}

TEST(SpeechBubble, RightToLeftTextWrapsInsideTheBubble) {
  SpeechBubbleNode bubble;
  bubble.show(
      QString::fromUtf8("تذكير: قم وتمدد واشرب كوبا من الماء قبل أن يبدأ الاجتماع بعد عشر دقائق"),
      {200, 100}, 150, Visit::BubbleStyle::headline);
  EXPECT_GT(bubble.label()->lines().size(), 1);
  EXPECT_LE(bubble.label()->textSize().width(), 150 - 34);
  EXPECT_LE(bubble.bubbleSize().width(), 150);
}

// Every text a reminder can carry gives a bubble no larger than three full lines of it do.
TEST(SpeechBubble, ReminderTextsOfAnyLengthKeepTheBubblesSize) {
  const QString sentence = QStringLiteral("water the plants ").repeated(295);
  const struct {
    const char* name;
    QString text;
  } rows[] = {
      {"5,000 characters", sentence},
      {"right to left",
       QString::fromUtf8("\u0627\u062A\u0635\u0644 \u0628\u0623\u0645\u064A ").repeated(500)},
      {"one unbroken word", QString(5000, QLatin1Char('W'))},
  };
  for (const auto& row : rows) {
    SpeechBubbleNode full;
    full.show(row.text.left(120), {200, 100}, 198, Visit::BubbleStyle::headline);
    ASSERT_EQ(full.label()->lines().size(), 3) << row.name;
    SpeechBubbleNode bubble;
    bubble.show(row.text, {200, 100}, 198, Visit::BubbleStyle::headline);
    EXPECT_LE(bubble.label()->lines().size(), 3) << row.name;
    EXPECT_LE(bubble.bubbleSize().width(), 198) << row.name;
    EXPECT_LE(bubble.bubbleSize().height(), full.bubbleSize().height()) << row.name;
    EXPECT_LE(bubble.label()->textSize().width(), 198 - 34) << row.name;
  }
}

}  // namespace
}  // namespace vorlane
