#pragma once

#include <ctime>
#include <string>

namespace vorlane::testing {

// An iCalendar UTC time of a moment in seconds since 1970: "20260329T081050Z".
inline std::string utcStamp(long long unixSeconds) {
  const auto when = static_cast<std::time_t>(unixSeconds);
  std::tm parts{};
  gmtime_r(&when, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &parts);
  return text;
}

}  // namespace vorlane::testing
