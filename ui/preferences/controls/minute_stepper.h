#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>

#include "foundation/closed_range.h"

class QLabel;
class QToolButton;

namespace vorlane {

// A length in minutes with − and + buttons: "Focus: 25 minutes". It shows the stored value
// as it is, even outside its range; a press asks for the stored value one step on, brought
// into the range. + is available below the top of the range, − above the bottom.
class MinuteStepper final : public QWidget {
 public:
  using Range = ClosedRange<std::int64_t>;

  // `name` starts the label ("Focus"); `onStep` receives the value a press asks for.
  MinuteStepper(const QString& name, Range range, std::function<void(std::int64_t)> onStep,
                QWidget* parent);

  void setValue(std::int64_t minutes);
  std::int64_t value() const { return value_; }

  QToolButton* decrement() const { return decrement_; }
  QToolButton* increment() const { return increment_; }
  QString text() const;

 private:
  void step(std::int64_t delta);

  QString name_;
  Range range_;
  std::function<void(std::int64_t)> onStep_;
  std::int64_t value_ = 0;
  QLabel* label_;
  QToolButton* decrement_;
  QToolButton* increment_;
};

}  // namespace vorlane
