#pragma once

#include <QFrame>
#include <functional>
#include <vector>

#include "core/productivity/daily_priority.h"

class QLabel;
class QPushButton;
class QToolButton;

namespace vorlane {

// What the user can ask of one priority from its card.
enum class PriorityAction { focus, starter, markDone, bringToToday, removeFromToday, remove };

// One priority of the Today window: its title with an open or filled circle, and below it
// the buttons that fit its state (start a focus, a five-minute step, mark done; or bring it
// forward from an earlier day; or only "Accomplished"), then an options menu. It only
// reports what was chosen; the window does the work, which usually replaces this card.
class TodayPriorityCard final : public QFrame {
 public:
  using Choose = std::function<void(PriorityAction, const DailyPriority&)>;

  // `isToday`: the card is in today's list (else the earlier section). `minutes` names the
  // length of a normal focus on its Focus button.
  TodayPriorityCard(DailyPriority priority, bool isToday, int minutes, Choose choose,
                    QWidget* parent = nullptr);

  const DailyPriority& priority() const { return priority_; }
  QLabel* titleLabel() const { return title_; }
  // The button with this text, or null when the card has none.
  QPushButton* button(const QString& text) const;
  QToolButton* optionsButton() const { return options_; }
  // The buttons and the options menu, in reading order.
  std::vector<QWidget*> controls() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPushButton* addButton(const QString& text, PriorityAction action, QLayout& row);
  void addOptions(bool isToday, QLayout& row);

  DailyPriority priority_;
  Choose choose_;
  QLabel* title_ = nullptr;
  QToolButton* options_ = nullptr;
};

}  // namespace vorlane
