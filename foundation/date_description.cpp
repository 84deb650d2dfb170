#include "foundation/date_description.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace vorlane {

std::string describeDate(Date date) {
  const double unix = std::floor(date.unixSeconds());
  // Years 1 to 9999 keep the four-digit form; anything beyond is no real moment.
  if (!std::isfinite(unix) || unix < -62135596800.0 || unix > 253402300799.0) {
    return "invalid date";
  }
  const std::time_t seconds = static_cast<std::time_t>(unix);
  std::tm parts{};
  if (::gmtime_r(&seconds, &parts) == nullptr) return "invalid date";
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d +0000", parts.tm_year + 1900,
                parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
  return text;
}

}  // namespace vorlane
