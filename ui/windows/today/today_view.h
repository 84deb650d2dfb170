#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/productivity/daily_priorities_store.h"
#include "foundation/calendar.h"
#include "foundation/date.h"
#include "foundation/uuid.h"
#include "ui/kit/keyed_rows.h"
#include "ui/kit/window_content.h"
#include "ui/kit/window_services.h"
#include "ui/windows/today/today_priority_card.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QVBoxLayout;

namespace vorlane {

class ClickGuard;
class MessageLine;

// The Today window's content: the day's priorities (at most three) with their count, the
// field that adds one, the open priorities of earlier days that can be brought forward, and
// a notice about a saved focus recovery that could not be used. Every change is made on a
// copy of the store's plan and saved whole before the store publishes it; a refusal is
// shown word for word in the red line and changes nothing, and the typed title stays.
// Redrawn when the store publishes and once a minute (so it follows midnight); every action
// uses the moment of the latest redraw.
class TodayView final : public WindowContent {
 public:
  using DiscardRecovery = std::function<void()>;
  // Gets a priority's id and true for a five-minute first step; throws the refusal to show.
  using Start = std::function<void(const UUID&, bool)>;

  static constexpr int refreshMilliseconds = 60 * 1000;

  TodayView(DailyPrioritiesStore& store, int minutes, std::optional<std::string> recoveryError,
            DiscardRecovery discardRecovery, Start start, const WindowServices& services,
            QWidget* parent = nullptr);

  // Adds the typed title on the day of `at`; Return in the field and "Add" run it.
  void add(Date at);
  // Reads the clock again and redraws everything.
  void refresh();

  QLabel* dateLabel() const { return date_; }
  QLabel* countLabel() const { return count_; }
  QLineEdit* field() const { return field_; }
  QPushButton* addButton() const { return add_; }
  MessageLine* errorLine() const { return errorLine_; }
  QWidget* recoveryRow() const { return recoveryRow_; }
  QPushButton* discardButton() const { return discard_; }
  QPushButton* clearButton() const { return clear_; }
  QWidget* emptyState() const { return empty_; }
  QWidget* earlierSection() const { return earlier_; }
  QTimer* refreshTimer() const { return timer_; }
  std::vector<TodayPriorityCard*> todayCards() const;
  std::vector<TodayPriorityCard*> earlierCards() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The cards shown, by what they show; the lists are built again only when this changes,
  // so a redraw every minute keeps the keyboard where it is.
  struct Shown {
    std::vector<DailyPriority> today;
    std::vector<DailyPriority> earlier;
    bool operator==(const Shown&) const = default;
  };

  void buildHeader(QVBoxLayout& column);
  void buildAddRow(QVBoxLayout& column);
  void buildRecoveryRow(QVBoxLayout& column);
  QWidget* buildList();
  void buildFooter(QVBoxLayout& column);
  // Each card stands for its priority's id: only the cards of changed priorities are made
  // again, so a redraw costs what changed.
  void showCards(const Shown& shown);
  using Cards = KeyedRows<TodayPriorityCard, DailyPriority, UUID>;
  // True when the card that had the keyboard went.
  bool showList(Cards& cards, const std::vector<DailyPriority>& priorities, bool isToday,
                const QWidget* focused);
  void orderTabs();
  void updateAddButton();
  void showError();
  // Runs `action`; its refusal, if it throws, becomes the red line, else the line clears.
  // Returns whether it ran through.
  bool act(const std::function<void()>& action);

  void choose(PriorityAction action, const DailyPriority& priority);
  // Applies `operation` to a copy of the plan and saves it; the sentence of a refusal goes to
  // the red line. True when it was saved.
  bool change(const std::function<void(DailyPriorities&)>& operation);
  void start(const UUID& id, bool starter);
  void askDelete(const DailyPriority& priority);
  void askClear();
  void askDiscard();

  DailyPrioritiesStore& store_;
  int minutes_;
  std::optional<std::string> recoveryError_;
  DiscardRecovery discardRecovery_;
  Start start_;
  WindowServices services_;
  std::optional<std::string> error_;
  std::optional<DailyPriority> deleting_;
  Date now_;
  Calendar calendar_;
  std::optional<Shown> shown_;
  Observers<>::Subscription storeChanges_;

  QLabel* date_ = nullptr;
  QLabel* count_ = nullptr;
  QLineEdit* field_ = nullptr;
  QPushButton* add_ = nullptr;
  MessageLine* errorLine_ = nullptr;
  QWidget* recoveryRow_ = nullptr;
  QPushButton* discard_ = nullptr;
  QWidget* empty_ = nullptr;
  QWidget* todayList_ = nullptr;
  QWidget* earlier_ = nullptr;
  QWidget* earlierList_ = nullptr;
  std::optional<Cards> todayCards_;
  std::optional<Cards> earlierCards_;
  QPushButton* clear_ = nullptr;
  QTimer* timer_ = nullptr;
  ClickGuard* guard_ = nullptr;
};

}  // namespace vorlane
