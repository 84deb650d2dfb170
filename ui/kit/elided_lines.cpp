#include "ui/kit/elided_lines.h"

#include <QFontMetrics>
#include <QStringList>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>

namespace vorlane {

QString elidedLines(const QString& text, const QFont& font, int width, int maxLines) {
  if (text.isEmpty() || maxLines < 1) return QString();
  width = std::max(width, 1);
  QTextLayout layout(text, font);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
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

}  // namespace vorlane
