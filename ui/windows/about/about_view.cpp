#include "ui/windows/about/about_view.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/kit/desktop_texts.h"
#include "ui/kit/symbol_image.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

QLabel* centredLabel(const QString& text, QWidget* parent) {
  QLabel* label = plainLabel(text, parent);
  label->setAlignment(Qt::AlignHCenter);
  label->setWordWrap(true);
  return label;
}

}  // namespace

QString logNote(LogDestination log) {
  switch (log) {
    case LogDestination::journal:
      return QString::fromUtf8(journalNote);
    case LogDestination::terminal:
      return QString::fromUtf8(terminalLogNote);
    case LogDestination::standardError:
      break;
  }
  return QString::fromUtf8(standardErrorLogNote);
}

AboutView::AboutView(const QString& version, const QString& hotKeyName, LogDestination log,
                     QWidget* parent)
    : QWidget(parent) {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto* content = new QWidget(this);
  content->setFixedSize(380, 320);
  outer->addWidget(content, 0, Qt::AlignCenter);

  auto* column = new QVBoxLayout(content);
  column->setContentsMargins(24, 24, 24, 24);
  column->setSpacing(14);

  auto* mark = new QLabel(content);
  mark->setAlignment(Qt::AlignHCenter);
  mark->setPixmap(
      symbolImage(QStringLiteral("figure.climbing"), 44, accentColor(*this), devicePixelRatioF()));
  column->addWidget(mark);

  auto* name = centredLabel(QStringLiteral("Vorlane"), content);
  setTextRole(*name, TextRole::title, QFont::DemiBold);
  column->addWidget(name);

  auto* versionLine = centredLabel(QStringLiteral("Version ") + version, content);
  setSecondary(*versionLine);
  column->addWidget(versionLine);

  column->addWidget(centredLabel(
      QStringLiteral("A desktop mascot that climbs down to tell you the time."), content));

  auto* divider = new QFrame(content);
  divider->setFrameShape(QFrame::HLine);
  divider->setFrameShadow(QFrame::Sunken);
  column->addWidget(divider);

  auto* notes = new QVBoxLayout;
  notes->setSpacing(6);
  notes->addWidget(centredLabel(QStringLiteral("Mute anywhere with ") + hotKeyName, content));
  auto* logged = centredLabel(logNote(log), content);
  setTextRole(*logged, TextRole::caption);
  setSecondary(*logged);
  notes->addWidget(logged);
  column->addLayout(notes);
  column->addStretch(1);
}

}  // namespace vorlane
