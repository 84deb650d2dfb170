#include "ui/kit/elided_lines.h"

#include <QFontMetrics>
#include <QStringList>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <vector>

#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

constexpr QChar ellipsis(0x2026);

QTextOption wrapping() {
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  return option;
}

// The lines `text` takes at `width`, counted no further than `limit + 1`.
int lineCount(const QString& text, const QFont& font, int width, int limit) {
  QTextLayout layout(text, font);
  layout.setTextOption(wrapping());
  int lines = 0;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid() && lines <= limit;
       line = layout.createLine()) {
    line.setLineWidth(width);
    ++lines;
  }
  layout.endLayout();
  return lines;
}

// Where each user-perceived character of `text` ends.
std::vector<qsizetype> graphemeEnds(const QString& text) {
  std::vector<qsizetype> ends;
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
  for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary()) {
    ends.push_back(at);
  }
  return ends;
}

}  // namespace

QString elidedLines(const QString& text, const QFont& font, int width, int maxLines) {
  if (text.isEmpty() || maxLines < 1) return QString();
  width = std::max(width, 1);
  QTextLayout layout(text, font);
  layout.setTextOption(wrapping());
  QStringList lines;
  int lastStart = 0;
  bool more = false;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    if (lines.size() == maxLines - 1) {
      lastStart = line.textStart();
      more = true;
      break;
    }
    lines << text.mid(line.textStart(), line.textLength()).trimmed();
  }
  layout.endLayout();
  if (more) {
    // The rest on one line, cut to the width with an ellipsis when it does not fit.
    const QString rest = text.mid(lastStart).trimmed();
    lines << QFontMetrics(font).elidedText(rest, Qt::ElideRight, width);
  }
  return lines.join(QLatin1Char('\n'));
}

QString elidedSentence(const QString& sentence, const QFont& font, int width, int maxLines) {
  if (sentence.isEmpty() || maxLines < 1) return QString();
  width = std::max(width, 1);
  const qsizetype start = sentence.indexOf(isolateStart);
  const qsizetype end = start < 0 ? -1 : sentence.indexOf(isolateEnd, start + 1);
  if (end < 0 || lineCount(sentence, font, width, maxLines) <= maxLines) {
    return elidedLines(sentence, font, width, maxLines);
  }
  const QString before = sentence.left(start + 1);
  const QString users = sentence.mid(start + 1, end - start - 1);
  const QString after = sentence.mid(end);
  const auto withFirst = [&](qsizetype length) {
    QString piece = users.left(length);
    while (!piece.isEmpty() && piece.back().isSpace()) piece.chop(1);
    return before + piece + ellipsis + after;
  };
  const auto fits = [&](const QString& text) {
    return lineCount(text, font, width, maxLines) <= maxLines;
  };
  // Words of its own too many for the lines: cutting the user's text would not help.
  if (!fits(withFirst(0))) return elidedLines(sentence, font, width, maxLines);
  // The most whole characters of the user's text that leave the sentence on its lines; a
  // longer piece takes no fewer lines, so halving the range finds it.
  const std::vector<qsizetype> ends = graphemeEnds(users);
  qsizetype kept = 0;
  auto low = ends.begin();
  auto high = ends.end();
  while (low != high) {
    const auto middle = low + (high - low) / 2;
    if (fits(withFirst(*middle))) {
      kept = *middle;
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return elidedLines(withFirst(kept), font, width, maxLines);
}

}  // namespace vorlane
