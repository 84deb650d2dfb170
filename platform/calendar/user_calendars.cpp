#include "platform/calendar/user_calendars.h"

#include "platform/calendar/calendar_reader.h"
#include "platform/calendar/eds_busy_reader.h"
#include "platform/calendar/merged_busy_reader.h"
#include "platform/calendar/time_limited_reader.h"

namespace vorlane {

std::shared_ptr<const BusyReader> userCalendars() {
  auto files = std::make_shared<CalendarReader>(CalendarReader::standard());
  auto service = std::make_shared<TimeLimitedReader>(
      std::make_unique<EdsBusyReader>(EdsBusyReader::standardPluginPath(),
                                      Calendar::current().timeZoneID()),
      calendarServiceTimeLimit);
  return std::make_shared<MergedBusyReader>(
      std::vector<std::shared_ptr<const BusyReader>>{std::move(files), std::move(service)});
}

}  // namespace vorlane
