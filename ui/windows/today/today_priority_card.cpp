#include "ui/windows/today/today_priority_card.h"

#include <QBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>

#include "ui/kit/symbol_image.h"
#include "ui/kit/text_roles.h"
#include "ui/kit/window_text.h"
#include "ui/kit/wrapping_label.h"

namespace vorlane {
namespace {

constexpr int padding = 14;
constexpr int cornerRadius = 12;
constexpr int symbolSize = 16;

}  // namespace

TodayPriorityCard::TodayPriorityCard(DailyPriority priority, bool isToday, int minutes,
                                     Choose choose, QWidget* parent)
    : QFrame(parent), priority_(std::move(priority)), choose_(std::move(choose)) {
  setObjectName(QStringLiteral("priority-card"));
  const bool done = priority_.accomplishedAt.has_value();
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(padding, padding, padding, padding);
  column->setSpacing(10);

  auto* heading = new QHBoxLayout;
  heading->setSpacing(8);
  const QString symbol = done ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle");
  QLabel* mark =
      symbolLabel(symbol, symbolSize, done ? accentColor(*this) : secondaryTextColor(*this), this);
  mark->setObjectName(QStringLiteral("mark"));
  title_ = new WrappingLabel(QString::fromStdString(priority_.title),
                             WrappingLabel::Selection::byMouse, this);
  title_->setObjectName(QStringLiteral("title"));
  // A title without blanks cannot wrap: it is cut at the card's edge rather than widening
  // the window, and shown whole when the pointer rests on it.
  title_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  title_->setToolTip(title_->text());
  setTextRole(*title_, TextRole::headline);
  heading->addWidget(mark, 0, Qt::AlignTop);
  heading->addWidget(title_, 1);
  column->addLayout(heading);

  auto* row = new QHBoxLayout;
  row->setSpacing(8);
  if (done) {
    QLabel* accomplished = plainLabel(QStringLiteral("Accomplished"), this);
    accomplished->setObjectName(QStringLiteral("accomplished"));
    setTextRole(*accomplished, TextRole::caption);
    setSecondary(*accomplished);
    row->addWidget(accomplished);
  } else if (isToday) {
    addButton(QStringLiteral("Focus %1m").arg(minutes), PriorityAction::focus, *row);
    addButton(QStringLiteral("Just 5m"), PriorityAction::starter, *row);
    addButton(QStringLiteral("Mark done"), PriorityAction::markDone, *row);
  } else {
    addButton(QStringLiteral("Bring to today"), PriorityAction::bringToToday, *row);
  }
  row->addStretch(1);
  addOptions(isToday, *row);
  column->addLayout(row);
}

QPushButton* TodayPriorityCard::addButton(const QString& text, PriorityAction action,
                                          QLayout& row) {
  auto* button = new QPushButton(text, this);
  // Return presses the focused button, as Space does.
  button->setAutoDefault(true);
  connect(button, &QPushButton::clicked, this, [this, action] {
    // A copy: the choice usually replaces this card.
    const DailyPriority chosen = priority_;
    if (const Choose choose = choose_) choose(action, chosen);
  });
  row.addWidget(button);
  return button;
}

void TodayPriorityCard::addOptions(bool isToday, QLayout& row) {
  options_ = new QToolButton(this);
  options_->setObjectName(QStringLiteral("options"));
  options_->setIcon(symbolIcon(QStringLiteral("ellipsis"), 16, secondaryTextColor(*this)));
  options_->setAutoRaise(true);
  options_->setPopupMode(QToolButton::InstantPopup);
  options_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
  options_->setAccessibleName(QStringLiteral("Priority options for ") +
                              QString::fromStdString(priority_.title));
  auto* menu = new QMenu(options_);
  const auto item = [&](const QString& text, PriorityAction action) {
    connect(menu->addAction(text), &QAction::triggered, this, [this, action] {
      const DailyPriority chosen = priority_;
      if (const Choose choose = choose_) choose(action, chosen);
    });
  };
  if (isToday) item(QStringLiteral("Remove from today"), PriorityAction::removeFromToday);
  item(QStringLiteral("Delete priority\u2026"), PriorityAction::remove);
  options_->setMenu(menu);
  row.addWidget(options_);
}

QPushButton* TodayPriorityCard::button(const QString& text) const {
  for (QPushButton* candidate : findChildren<QPushButton*>()) {
    if (candidate->text() == text) return candidate;
  }
  return nullptr;
}

std::vector<QWidget*> TodayPriorityCard::controls() const {
  std::vector<QWidget*> all;
  for (QPushButton* button : findChildren<QPushButton*>()) all.push_back(button);
  all.push_back(options_);
  return all;
}

void TodayPriorityCard::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // A faint wash of the text colour, light on light windows and dark on dark ones alike.
  QColor fill = palette().color(QPalette::WindowText);
  fill.setAlphaF(0.06f);
  QPainterPath shape;
  shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
  painter.fillPath(shape, fill);
  QFrame::paintEvent(event);
}

}  // namespace vorlane
