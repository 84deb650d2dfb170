#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "core/focus/focus_history_entry.h"

class QBoxLayout;
class QLabel;
class QPushButton;

namespace vorlane {

class DateFormatter;

// Whole minutes of a duration in seconds, halves away from zero (1469 s is 24, 1470 s is 25).
// A duration that is not a finite number, or whose minutes do not fit, counts as 0.
std::int64_t wholeMinutes(double seconds);

// "25 min · May 28, 2026, 8:26 PM": the minutes and when the focus finished.
QString focusHistoryDetail(const FocusHistoryEntry& entry, const DateFormatter& dates);

// One entry of the focus history: what it was about (accomplished or only focused on), its
// minutes and end, "Mark accomplished" while it is not, and "Delete". The row only reports
// the user's choice; the window does the change. "Delete" keeps its place in every row:
// where "Mark accomplished" is not offered, its room stays empty.
class FocusHistoryRow final : public QWidget {
 public:
  FocusHistoryRow(const FocusHistoryEntry& entry, const DateFormatter& dates,
                  std::function<void()> markAccomplished, std::function<void()> remove,
                  QWidget* parent = nullptr);

  const FocusHistoryEntry& entry() const { return entry_; }
  // Shows a newer state of the same entry in place; a "Mark accomplished" that goes away
  // leaves its room empty.
  void showEntry(const FocusHistoryEntry& entry, const DateFormatter& dates);

  QLabel* title() const { return title_; }
  QLabel* detail() const { return detail_; }
  // None once the entry is accomplished.
  QPushButton* markButton() const { return mark_; }
  QPushButton* deleteButton() const { return delete_; }

 private:
  void offerMarking(bool offered);

  FocusHistoryEntry entry_;
  std::function<void()> markAccomplished_;
  QBoxLayout* actions_ = nullptr;
  QLabel* title_ = nullptr;
  QLabel* detail_ = nullptr;
  // The button while it is offered; `markPlace_` holds it, hidden, while it is not.
  QPushButton* mark_ = nullptr;
  QPushButton* markPlace_ = nullptr;
  QPushButton* delete_ = nullptr;
};

}  // namespace vorlane
