#include "ui/windows/about_view.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/windows/symbol_image.h"
#include "ui/windows/window_text.h"

namespace vorlane {
namespace {

QLabel* centredLabel(const QString& text, QWidget* parent) {
  QLabel* label = plainLabel(text, parent);
  label->setAlignment(Qt::AlignHCenter);
  label->setWordWrap(true);
  return label;
}

}  // namespace

AboutView::AboutView(const QString& version, const QString& hotKeyName, QWidget* parent)
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
  mark->setPixmap(symbolImage(QStringLiteral("figure.climbing"), 44, accentColor(*this),
                              devicePixelRatioF()));
  column->addWidget(mark);

  auto* name = centredLabel(QStringLiteral("Vorlane"), content);
  name->setFont(scaledFont(font(), 28.0 / 13.0, QFont::DemiBold));
  column->addWidget(name);

  auto* versionLine = centredLabel(QStringLiteral("Version ") + version, content);
  setSecondary(*versionLine);
  column->addWidget(versionLine);

  column->addWidget(centredLabel(
      QStringLiteral("A desktop mascot that vorlanes to tell you the time."), content));

  auto* divider = new QFrame(content);
  divider->setFrameShape(QFrame::HLine);
  divider->setFrameShadow(QFrame::Sunken);
  column->addWidget(divider);

  auto* notes = new QVBoxLayout;
  notes->setSpacing(6);
  notes->addWidget(centredLabel(QStringLiteral("Mute anywhere with ") + hotKeyName, content));
  auto* logged = centredLabel(
      QStringLiteral("Scheduling and suppression decisions are logged to the system journal "
                     "under com.corvantis.vorlane"),
      content);
  logged->setFont(scaledFont(font(), 10.0 / 13.0));
  setSecondary(*logged);
  notes->addWidget(logged);
  column->addLayout(notes);
  column->addStretch(1);
}

}  // namespace vorlane
