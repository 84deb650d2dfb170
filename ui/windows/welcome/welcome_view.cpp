#include "ui/windows/welcome/welcome_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/kit/desktop_texts.h"
#include "ui/kit/symbol_image.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

// A symbol in a 20-pixel column beside text that wraps as far down as it needs.
QWidget* featureRow(const QString& symbol, const QString& text, QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(10);
  auto* icon = new QLabel(row);
  icon->setFixedWidth(20);
  icon->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  icon->setPixmap(symbolImage(symbol, 16, secondaryTextColor(*row), row->devicePixelRatioF()));
  QLabel* label = plainLabel(text, row);
  label->setObjectName(QStringLiteral("feature"));
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  layout->addWidget(icon, 0, Qt::AlignTop);
  layout->addWidget(label, 1);
  return row;
}

}  // namespace

QString muteLine(const QString& hotKeyName) {
  return QStringLiteral("Mute him from anywhere with ") + hotKeyName + QLatin1Char('.');
}

QString whereTheMenuIs(bool trayAvailable) {
  return QString::fromUtf8(trayAvailable ? lookForTheClimber : rightClickTheMonkey);
}

WelcomeView::WelcomeView(const QString& hotKeyName, bool trayAvailable,
                         std::function<void()> onVorlaneNow, std::function<void()> onDismiss,
                         QWidget* parent)
    : WindowContent(parent),
      onVorlaneNow_(std::move(onVorlaneNow)),
      onDismiss_(std::move(onDismiss)) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(24, 24, 24, 24);
  column->setSpacing(18);

  auto* header = new QHBoxLayout;
  header->setSpacing(12);
  auto* mark = new QLabel(this);
  mark->setPixmap(
      symbolImage(QStringLiteral("figure.climbing"), 30, accentColor(*this), devicePixelRatioF()));
  auto* titles = new QVBoxLayout;
  titles->setSpacing(2);
  auto* title = new QLabel(QStringLiteral("Vorlane is running"), this);
  setTextRole(*title, TextRole::title2, QFont::DemiBold);
  auto* subtitle = new QLabel(whereTheMenuIs(trayAvailable), this);
  setSecondary(*subtitle);
  titles->addWidget(title);
  titles->addWidget(subtitle);
  header->addWidget(mark, 0, Qt::AlignVCenter);
  header->addLayout(titles, 1);
  column->addLayout(header);

  auto* features = new QVBoxLayout;
  features->setSpacing(12);
  features->addWidget(featureRow(
      QStringLiteral("clock"),
      QStringLiteral("On the hour, a monkey climbs down the right edge of your screen, tells "
                     "you the time, and climbs away. About seven seconds."),
      this));
  features->addWidget(featureRow(
      QStringLiteral("video.slash"),
      QStringLiteral("He stays up the rope when your camera or microphone is in use, or when "
                     "you are presenting."),
      this));
  features->addWidget(featureRow(QStringLiteral("moon"), muteLine(hotKeyName), this));
  column->addLayout(features);
  column->addStretch(1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  notNow_ = new QPushButton(QStringLiteral("Not now"), this);
  showMe_ = new QPushButton(QStringLiteral("Show me"), this);
  showMe_->setDefault(true);
  buttons->addWidget(notNow_);
  buttons->addWidget(showMe_);
  column->addLayout(buttons);

  showMe_->setFocus();

  setEscapeAction([this] { notNow(); }, EscapeReach::leftAlone);
  // Wherever the focus is, as the window's default button.
  setReturnAction([this] { showMe(); });
  connect(notNow_, &QPushButton::clicked, this, [this] { notNow(); });
  connect(showMe_, &QPushButton::clicked, this, [this] { showMe(); });
}

void WelcomeView::showMe() {
  // Copies: either callback may close and let go of this window.
  const auto vorlaneNow = onVorlaneNow_;
  const auto dismiss = onDismiss_;
  if (vorlaneNow) vorlaneNow();
  if (dismiss) dismiss();
}

void WelcomeView::notNow() {
  const auto dismiss = onDismiss_;
  if (dismiss) dismiss();
}

}  // namespace vorlane
