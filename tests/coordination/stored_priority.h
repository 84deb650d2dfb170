#pragma once

#include <string>

#include "core/productivity/daily_priorities_store.h"
#include "foundation/calendar.h"
#include "foundation/uuid.h"

namespace vorlane {

// Adds a priority to the day of `now` through the store, accomplished at once when asked;
// returns its id.
inline UUID storePriority(DailyPrioritiesStore& store, const Calendar& calendar, Date now,
                          const std::string& title, bool accomplished = false) {
  UUID id;
  store.apply([&](DailyPriorities& plan) {
    id = plan.add(title, now, calendar);
    if (accomplished) plan.markAccomplished(id, now);
  });
  return id;
}

}  // namespace vorlane
