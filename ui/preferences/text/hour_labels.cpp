#include "ui/preferences/text/hour_labels.h"

#include "foundation/short_time_formatter.h"

namespace vorlane {

QStringList hourLabels(const Calendar& calendar) {
  // A fixed day in UTC has every hour exactly once; only the locale matters here.
  const Calendar utc("UTC", calendar.localeID());
  const ShortTimeFormatter formatter(utc);
  QStringList labels;
  for (int hour = 0; hour < 24; ++hour) {
    const std::optional<Date> date = utc.date(2001, 1, 1, hour);
    const std::string text = date ? formatter.format(*date) : std::string();
    labels << (text.empty() ? handWrittenHourLabel(hour) : QString::fromStdString(text));
  }
  return labels;
}

QString handWrittenHourLabel(std::int64_t hour) {
  std::int64_t dial = hour % 12;
  if (dial == 0) dial = 12;
  return QString::number(dial) + QStringLiteral(":00 ") +
         (hour > 11 ? QStringLiteral("PM") : QStringLiteral("AM"));
}

}  // namespace vorlane
