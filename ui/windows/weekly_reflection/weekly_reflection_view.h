#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/contracts/clock.h"
#include "core/focus/focus_history_store.h"
#include "core/productivity/daily_priorities_store.h"
#include "core/productivity/weekly_reflection.h"
#include "foundation/calendar.h"
#include "foundation/observers.h"
#include "ui/kit/message_line.h"
#include "ui/windows/weekly_reflection/reflection_section.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;
class QVBoxLayout;

namespace vorlane {

// The weekly reflection window's content: one week of the focus history and the daily
// priorities, looked back on without judging. It only reads. Everything is recomputed from the
// stores at the clock's time when built, once a minute while it exists (the timer is its own
// and goes with it), whenever either store publishes, and when another week is picked. The
// history store's error sentence wins over the priorities store's.
class WeeklyReflectionView final : public QWidget {
 public:
  static constexpr int refreshMilliseconds = 60 * 1000;

  WeeklyReflectionView(FocusHistoryStore& history, DailyPrioritiesStore& priorities,
                       std::function<void()> manageHistory, std::shared_ptr<const Clock> clock,
                       std::function<Calendar()> calendar, QWidget* parent = nullptr);

  // 0 this week, -1 last week.
  std::int64_t week() const { return week_; }
  void setWeek(std::int64_t week);
  void refresh();

  QPushButton* thisWeekButton() const { return thisWeek_; }
  QPushButton* lastWeekButton() const { return lastWeek_; }
  QPushButton* manageHistoryButton() const { return manage_; }
  QLabel* weekRange() const { return range_; }
  MessageLine* errorLine() const { return error_; }
  ReflectionSection* accomplished() const { return accomplished_; }
  ReflectionSection* broughtForward() const { return broughtForward_; }
  QLabel* count(WeeklyReflection::TimeOfDay time) const {
    return counts_[static_cast<std::size_t>(time)];
  }
  QLabel* totals() const { return totals_; }
  QScrollArea* scrollArea() const { return scroll_; }
  QTimer* refreshTimer() const { return timer_; }

 private:
  void buildHeading(QVBoxLayout& column);
  // "This week" and "Last week", the one control that changes what is shown.
  void buildWeekPicker(QVBoxLayout& column);
  void buildScrollArea(QVBoxLayout& column);
  QWidget* buildScrolledContent();
  void buildFooter(QVBoxLayout& column);
  // Redraws when either store publishes and once a minute.
  void followChanges();
  void logShown();

  FocusHistoryStore& history_;
  DailyPrioritiesStore& priorities_;
  std::function<void()> manageHistory_;
  std::shared_ptr<const Clock> clock_;
  std::function<Calendar()> calendar_;
  std::int64_t week_ = 0;

  QPushButton* thisWeek_ = nullptr;
  QPushButton* lastWeek_ = nullptr;
  QLabel* range_ = nullptr;
  MessageLine* error_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  ReflectionSection* accomplished_ = nullptr;
  ReflectionSection* broughtForward_ = nullptr;
  std::array<QLabel*, 4> counts_{};
  QLabel* totals_ = nullptr;
  QPushButton* manage_ = nullptr;
  QTimer* timer_ = nullptr;
  std::string logged_;

  Observers<>::Subscription historySubscription_;
  Observers<>::Subscription prioritiesSubscription_;
};

}  // namespace vorlane
