#include "ui/windows/calendar_consent/calendar_consent_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "ui/kit/desktop_texts.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

QLabel* wrappedLabel(const QString& text, QWidget* parent) {
  QLabel* label = plainLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

QString consentPlaceText(const std::string& place, const std::string& home) {
  if (place.empty() || place.front() != '/') return QString::fromStdString(place);
  QString text = QString::fromStdString(place);
  if (!home.empty() && home != "/" && place.rfind(home, 0) == 0 &&
      (place.size() == home.size() || place[home.size()] == '/')) {
    text = QLatin1Char('~') + QString::fromStdString(place.substr(home.size()));
  }
  if (!text.endsWith(QLatin1Char('/'))) text += QLatin1Char('/');
  return text;
}

CalendarConsentWindow::CalendarConsentWindow(std::function<void(Answer)> onAnswer, QWidget* parent)
    : WindowContent(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      onAnswer_(std::move(onAnswer)) {
  setWindowTitle(QStringLiteral("Calendar access \u2014 Vorlane"));
  setFixedWidth(fixedWidth);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(22, 22, 22, 22);
  column->setSpacing(12);

  QLabel* title = plainLabel(QStringLiteral("Let Vorlane read your calendars?"), this);
  setTextRole(*title, TextRole::title2, QFont::DemiBold);
  title->setObjectName(QStringLiteral("title"));
  column->addWidget(title);

  column->addWidget(wrappedLabel(
      QStringLiteral("To suggest a focus session that fits before your next commitment, "
                     "Vorlane looks at when you are busy in:"),
      this));

  places_ = plainLabel(QString(), this);
  places_->setObjectName(QStringLiteral("places"));
  places_->setWordWrap(true);
  places_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  places_->setContentsMargins(12, 0, 0, 0);
  column->addWidget(places_);

  QLabel* promise = wrappedLabel(QString::fromUtf8(calendarReadsOnlyAvailability), this);
  promise->setObjectName(QStringLiteral("promise"));
  setSecondary(*promise);
  column->addWidget(promise);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* refuse = new QPushButton(QStringLiteral("Don\u2019t Allow"), this);
  refuse->setObjectName(QStringLiteral("refuse"));
  allow_ = new QPushButton(QStringLiteral("Allow"), this);
  allow_->setObjectName(QStringLiteral("allow"));
  allow_->setDefault(true);
  buttons->addWidget(refuse);
  buttons->addWidget(allow_);
  column->addSpacing(4);
  column->addLayout(buttons);

  connect(allow_, &QPushButton::clicked, this, [this] { answer(Answer::granted); });
  connect(refuse, &QPushButton::clicked, this, [this] { answer(Answer::refused); });
  // Escape closes without an answer, from wherever the keyboard is.
  setEscapeAction([this] { close(); }, EscapeReach::fromFields);
  setReturnAction([this] {
    // A focused button outside a dialog passes Return on: it means that button.
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
      button->click();
    } else {
      answer(Answer::granted);
    }
  });
}

void CalendarConsentWindow::setPlaces(const std::vector<std::string>& places) {
  const char* home = std::getenv("HOME");
  QStringList lines;
  for (const std::string& place : places) {
    lines << QStringLiteral("\u2022 ") + consentPlaceText(place, home ? home : "");
  }
  places_->setText(lines.join(QLatin1Char('\n')));
  // The height follows the text, so a long folder name is never cut off.
  QLayout* column = layout();
  setFixedHeight(column->hasHeightForWidth() ? column->totalHeightForWidth(fixedWidth)
                                             : column->totalSizeHint().height());
}

void CalendarConsentWindow::showEvent(QShowEvent* event) {
  answered_ = false;
  QWidget::showEvent(event);
  allow_->setFocus();
}

void CalendarConsentWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (!answered_) answer(Answer::dismissed);
}

void CalendarConsentWindow::answer(Answer given) {
  if (answered_) return;
  answered_ = true;
  hide();
  if (onAnswer_) onAnswer_(given);
}

}  // namespace vorlane
