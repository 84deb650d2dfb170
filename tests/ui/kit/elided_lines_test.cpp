#include "ui/kit/elided_lines.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTextBoundaryFinder>

#include "tests/support/text_samples.h"
#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

constexpr int width = 260;
const QString ending = QStringLiteral(" \u2014 tomorrow at 9:00 am.");

QString saved(const QString& users) {
  return QStringLiteral("Saved: ") + isolatedText(users) + ending;
}

// The user's text as the sentence shows it, between the isolate marks.
QString usersPart(const QString& sentence) {
  const qsizetype start = sentence.indexOf(QChar(0x2068));
  const qsizetype end = sentence.indexOf(QChar(0x2069));
  if (start < 0 || end < start) return QString();
  return sentence.mid(start + 1, end - start - 1);
}

// The text without blanks and line breaks: where the lines break leaves no trace.
QString squashed(QString text) {
  text.remove(QLatin1Char(' '));
  text.remove(QLatin1Char('\n'));
  return text;
}

int lines(const QString& shown) { return static_cast<int>(shown.count(QLatin1Char('\n'))) + 1; }

// Whether `length` falls between two user-perceived characters of `text`.
bool atCharacterBoundary(const QString& text, qsizetype length) {
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  finder.setPosition(length);
  return finder.isAtBoundary();
}

TEST(ElidedSentence, ALongUserTextIsCutAndTheRestOfTheSentenceStaysWhole) {
  const QFont font = QApplication::font();
  const struct {
    const char* name;
    QString users;
  } rows[] = {
      {"words", QString::fromStdString(repeated("water the plants ", 40))},
      {"one unbroken word", QString(600, QLatin1Char('W'))},
      {"right to left",
       QString::fromStdString(repeated("\u0627\u062A\u0635\u0644 \u0628\u0623\u0645\u064A ", 60))},
      {"joined emoji", QString::fromStdString(repeated(familyEmoji, 80))},
      {"combining accents", QString::fromStdString(repeated("e\u0301", 300))},
  };
  for (const auto& row : rows) {
    for (const int maxLines : {1, 2}) {
      SCOPED_TRACE(std::string(row.name) + ", lines " + std::to_string(maxLines));
      const QString shown = elidedSentence(saved(row.users), font, width, maxLines);
      EXPECT_LE(lines(shown), maxLines) << shown.toStdString();
      EXPECT_TRUE(shown.startsWith(QStringLiteral("Saved: "))) << shown.toStdString();
      const QString flat = squashed(shown);
      EXPECT_TRUE(flat.endsWith(QChar(0x2069) + squashed(ending))) << shown.toStdString();
      const QString kept = usersPart(flat);
      ASSERT_TRUE(kept.endsWith(QChar(0x2026))) << shown.toStdString();
      const QString piece = kept.chopped(1);
      EXPECT_FALSE(piece.isEmpty()) << "room was left for some of the user's text";
      EXPECT_TRUE(squashed(row.users).startsWith(piece)) << shown.toStdString();
      EXPECT_TRUE(atCharacterBoundary(squashed(row.users), piece.size()))
          << "a character was split";
    }
  }
}

TEST(ElidedSentence, KeepsAsMuchOfTheUserTextAsTheLinesHold) {
  const QFont font = QApplication::font();
  const QString users = QString(600, QLatin1Char('W'));
  for (const int maxLines : {1, 2, 3}) {
    SCOPED_TRACE(maxLines);
    const QString shown = elidedSentence(saved(users), font, width, maxLines);
    const qsizetype kept = usersPart(squashed(shown)).size() - 1;
    // One character more would not have fitted.
    const QString longer = saved(users.left(kept + 1) + QChar(0x2026));
    EXPECT_GT(lines(elidedLines(longer, font, width, 10)), maxLines) << shown.toStdString();
  }
}

TEST(ElidedSentence, WhatFitsOrCarriesNoUserTextIsBrokenAsElidedLinesBreaksIt) {
  const QFont font = QApplication::font();
  const QString rows[] = {
      saved(QStringLiteral("water the plants")),
      QStringLiteral("Session stopped. Nothing was marked accomplished."),
      QString::fromStdString(repeated("Paused. You can leave an optional next step. ", 20)),
      // The sentence's own words take more than the lines: it is cut at its end.
      QStringLiteral("Saved: ") + isolatedText(QStringLiteral("tea")) +
          QString::fromStdString(repeated(" and the day after", 40)),
  };
  for (const QString& sentence : rows) {
    SCOPED_TRACE(sentence.toStdString());
    EXPECT_EQ(elidedSentence(sentence, font, width, 2), elidedLines(sentence, font, width, 2));
  }
  EXPECT_EQ(elidedSentence(saved(QStringLiteral("tea")), font, width, 0), QString());
}

}  // namespace
}  // namespace vorlane
