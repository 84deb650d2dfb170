#include "core/visits/visit_scheduler.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>

#include "core/visits/phrase_formatter.h"

namespace vorlane {

namespace {

int stepMinutes(const Preferences& preferences) {
  return preferences.halfHourVisitsEnabled ? 30 : 60;
}

// One pass per boundary, inside the active hours or not, whatever the gap since the
// last call: 26 for hourly, 50 for half-hourly visits.
int boundarySearchLimit(int step) { return 1440 / step + 2; }

// Triggers whose search can never find a time, whatever the start: an hourly trigger,
// a wall time the calendar refuses to place, or a set of days holding no weekday.
bool neverFires(const VisitTrigger& trigger) {
  if (trigger.value() == VisitTrigger::Case::hourly) return true;
  const std::optional<Recurrence> recurrence = trigger.recurrence();
  if (!recurrence) return false;
  if (recurrence->hour < 0 || recurrence->hour > 23 || recurrence->minute < 0 ||
      recurrence->minute > 59) {
    return true;
  }
  for (int weekday = 1; weekday <= 7; ++weekday) {
    if (recurrence->days.includes(weekday)) return false;
  }
  return true;
}

Visit hourlyVisit(Date boundary, const PhraseFormatter& formatter) {
  return Visit{UUID::random(),
               Visit::Kind::hourly(),
               boundary,
               formatter.phrase(boundary),
               formatter.bubbleText(boundary),
               true,
               Visit::BubbleStyle::headline,
               Choreography::standard(),
               true};
}

Visit reminderVisit(const Reminder& reminder, Date due) {
  return Visit{UUID::random(),
               Visit::Kind::reminder(reminder.id),
               due,
               reminder.phrase,
               reminder.phrase,
               true,
               Visit::BubbleStyle::headline,
               Choreography::standard(),
               true};
}

}  // namespace

VisitScheduler::VisitScheduler(std::shared_ptr<const Clock> clock, Calendar calendar,
                               std::function<Preferences()> preferences)
    : clock_(std::move(clock)),
      calendar_(std::move(calendar)),
      preferencesProvider_(std::move(preferences)) {}

void VisitScheduler::setReminders(std::vector<Reminder> reminders) {
  const std::unordered_map<UUID, std::size_t>& oldFirst = firstIndex_;
  std::unordered_map<UUID, std::size_t> newFirst;
  newFirst.reserve(reminders.size());
  for (std::size_t i = 0; i < reminders.size(); ++i) newFirst.try_emplace(reminders[i].id, i);

  const auto sameSchedule = [](const Reminder& a, const Reminder& b) {
    return a.trigger == b.trigger && a.createdAt == b.createdAt;
  };

  std::erase_if(firedReminderIDs_, [&](const UUID& id) {
    const auto old = oldFirst.find(id);
    const auto fresh = newFirst.find(id);
    if (old == oldFirst.end() || fresh == newFirst.end()) return true;
    return !sameSchedule(reminders_[old->second], reminders[fresh->second]);
  });

  // A memo depends only on the trigger and the creation time, so it carries over.
  std::vector<OccurrenceMemo> memos(reminders.size());
  for (std::size_t i = 0; i < reminders.size(); ++i) {
    const auto old = oldFirst.find(reminders[i].id);
    if (old != oldFirst.end() && sameSchedule(reminders_[old->second], reminders[i])) {
      memos[i] = memos_[old->second];
    }
  }

  reminders_ = std::move(reminders);
  firstIndex_ = std::move(newFirst);
  memos_ = std::move(memos);
}

const Reminder* VisitScheduler::reminder(const UUID& id) const {
  const auto found = firstIndex_.find(id);
  return found == firstIndex_.end() ? nullptr : &reminders_[found->second];
}

void VisitScheduler::reanchor() { lastEvaluation_ = clock_->now(); }

std::vector<Visit> VisitScheduler::dueVisits() {
  const Date now = clock_->now();
  if (!lastEvaluation_ || !(now > *lastEvaluation_)) {
    lastEvaluation_ = now;
    return {};
  }
  const Date last = *lastEvaluation_;
  const Preferences preferences = preferencesProvider_();

  std::vector<Visit> visits;
  std::vector<Date> stale;

  const std::vector<Date> boundaries = hourlyFireDates(last, now, preferences);
  if (!boundaries.empty()) {
    const PhraseFormatter formatter(preferences.phraseTemplate, calendar_);
    for (const Date boundary : boundaries) {
      if (now - boundary > staleTolerance) {
        stale.push_back(boundary);
      } else {
        visits.push_back(hourlyVisit(boundary, formatter));
      }
    }
  }

  // Only the first occurrence after the anchor is looked at, so each reminder gives at
  // most one visit or one stale time per call. The search starts at the anchor itself and
  // takes only times strictly after it: a time at the anchor was the previous call's, and
  // any later one, however close, is this call's.
  const Date from(std::nextafter(last.timeIntervalSinceReferenceDate(), INFINITY));
  for (std::size_t i = 0; i < reminders_.size(); ++i) {
    const Reminder& reminder = reminders_[i];
    if (firedReminderIDs_.contains(reminder.id)) continue;
    const std::optional<Date> due = occurrence(i, from);
    if (!due || *due > now) continue;
    // Marked before the staleness test: a one-shot skipped as stale never comes back.
    if (reminder.trigger.isOneShot()) firedReminderIDs_.insert(reminder.id);
    if (now - *due > staleTolerance) {
      stale.push_back(*due);
    } else {
      visits.push_back(reminderVisit(reminder, *due));
    }
  }

  // Anchored before the callback, so a call made from inside it only re-anchors.
  lastEvaluation_ = now;
  if (!stale.empty() && onSkippedStaleVisits) {
    const auto callback = onSkippedStaleVisits;
    callback(stale);
  }

  // Stable, so equal times keep hourly before reminders and reminders in list order.
  std::stable_sort(visits.begin(), visits.end(),
                   [](const Visit& a, const Visit& b) { return a.scheduledFor < b.scheduledFor; });
  return visits;
}

std::optional<Date> VisitScheduler::nextHourlyVisit(std::optional<Date> after) const {
  const Preferences preferences = preferencesProvider_();
  const int step = stepMinutes(preferences);
  Date cursor = after ? *after : clock_->now();
  for (int i = 0; i < boundarySearchLimit(step); ++i) {
    const std::optional<Date> next = nextBoundary(cursor, step);
    if (!next || !(*next > cursor)) return std::nullopt;
    cursor = *next;
    if (preferences.isWithinActiveHours(calendar_.hour(cursor))) return cursor;
  }
  return std::nullopt;
}

std::optional<Date> VisitScheduler::nextReminderTime(Date onOrAfter) {
  std::optional<Date> earliest;
  for (std::size_t i = 0; i < reminders_.size(); ++i) {
    const std::optional<Date> next = occurrence(i, onOrAfter);
    if (next && (!earliest || *next < *earliest)) earliest = next;
  }
  return earliest;
}

std::optional<Date> VisitScheduler::nextBoundary(Date after, int step) const {
  static constexpr int candidateMinutes[] = {0, 30};
  const int candidates = step == 30 ? 2 : 1;
  std::optional<Date> earliest;
  for (int i = 0; i < candidates; ++i) {
    const std::optional<Date> found = calendar_.nextDate(after, candidateMinutes[i]);
    if (found && (!earliest || *found < *earliest)) earliest = found;
  }
  return earliest;
}

std::vector<Date> VisitScheduler::hourlyFireDates(Date after, Date through,
                                                  const Preferences& preferences) const {
  const int step = stepMinutes(preferences);
  std::vector<Date> dates;
  Date cursor = after;
  for (int i = 0; i < boundarySearchLimit(step); ++i) {
    const std::optional<Date> next = nextBoundary(cursor, step);
    if (!next || !(*next > cursor) || *next > through) break;
    cursor = *next;
    if (preferences.isWithinActiveHours(calendar_.hour(cursor))) dates.push_back(cursor);
  }
  return dates;
}

std::optional<Date> VisitScheduler::occurrence(std::size_t index, Date onOrAfter) {
  OccurrenceMemo& memo = memos_[index];
  if (memo.neverFires) return std::nullopt;
  // The first time at or after the earlier start is also the first at or after any
  // later start up to that time.
  if (memo.due && memo.searchedFrom <= onOrAfter && onOrAfter <= *memo.due) return memo.due;

  const Reminder& reminder = reminders_[index];
  const std::optional<Date> due =
      reminder.trigger.nextOccurrence(onOrAfter, reminder.createdAt, calendar_);
  memo.searchedFrom = onOrAfter;
  memo.due = due;
  memo.neverFires = !due && neverFires(reminder.trigger);
  return due;
}

}  // namespace vorlane
