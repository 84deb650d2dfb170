#include "ui/preferences/controls/minute_stepper.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <algorithm>

#include "ui/kit/window_text.h"

namespace vorlane {
namespace {

QToolButton* stepButton(const QString& glyph, const QString& accessibleName, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(glyph);
  button->setAccessibleName(accessibleName);
  button->setFixedSize(28, 24);
  return button;
}

}  // namespace

MinuteStepper::MinuteStepper(const QString& name, Range range,
                             std::function<void(std::int64_t)> onStep, QWidget* parent)
    : QWidget(parent),
      name_(name),
      range_(range),
      onStep_(std::move(onStep)),
      label_(plainLabel(QString(), this)),
      decrement_(stepButton(QStringLiteral("\u2212"), QStringLiteral("Shorter"), this)),
      increment_(stepButton(QStringLiteral("+"), QStringLiteral("Longer"), this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(4);
  row->addWidget(label_, 1);
  row->addWidget(decrement_);
  row->addWidget(increment_);
  connect(decrement_, &QToolButton::clicked, this, [this] { step(-1); });
  connect(increment_, &QToolButton::clicked, this, [this] { step(+1); });
  setValue(range.lowerBound);
}

void MinuteStepper::setValue(std::int64_t minutes) {
  value_ = minutes;
  label_->setText(text());
  decrement_->setEnabled(minutes > range_.lowerBound);
  increment_->setEnabled(minutes < range_.upperBound);
}

QString MinuteStepper::text() const {
  // Plural for every value, 1 included.
  return name_ + QStringLiteral(": ") + QString::number(value_) + QStringLiteral(" minutes");
}

void MinuteStepper::step(std::int64_t delta) {
  // Saturating, so that a stored extreme cannot overflow.
  const std::int64_t moved = delta < 0 ? std::max(value_, range_.lowerBound + 1) + delta
                                       : std::min(value_, range_.upperBound - 1) + delta;
  const std::int64_t next = std::clamp(moved, range_.lowerBound, range_.upperBound);
  if (next != value_ && onStep_) onStep_(next);
}

}  // namespace vorlane
