#pragma once

#include <memory>
#include <vector>

#include "core/scheduling/preferences.h"
#include "core/scheduling/visit_scheduler.h"
#include "foundation/calendar.h"
#include "tests/support/fake_clock.h"

namespace vorlane {

// A scheduler over a fake clock and editable settings, recording what it reports stale
// and how often it reads the settings.
struct SchedulerHarness {
  explicit SchedulerHarness(Calendar calendar, Date start = Date())
      : clock(std::make_shared<FakeClock>(start)),
        calendar(calendar),
        scheduler(clock, calendar, [this] {
          ++preferenceReads;
          return preferences;
        }) {
    scheduler.onSkippedStaleVisits = [this](const std::vector<Date>& dates) {
      staleReports.push_back(dates);
    };
  }

  // Moves the clock to `date` and polls.
  std::vector<Visit> pollAt(Date date) {
    clock->set(date);
    return scheduler.dueVisits();
  }

  std::vector<Date> allStale() const {
    std::vector<Date> all;
    for (const auto& report : staleReports) all.insert(all.end(), report.begin(), report.end());
    return all;
  }

  std::shared_ptr<FakeClock> clock;
  Calendar calendar;
  Preferences preferences;
  int preferenceReads = 0;
  std::vector<std::vector<Date>> staleReports;
  VisitScheduler scheduler;
};

inline std::vector<Date> dueTimes(const std::vector<Visit>& visits) {
  std::vector<Date> times;
  for (const Visit& visit : visits) times.push_back(visit.scheduledFor);
  return times;
}

}  // namespace vorlane
