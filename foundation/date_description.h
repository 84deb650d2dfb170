#pragma once

#include <string>

#include "foundation/date.h"

namespace vorlane {

// The text a date shows in log lines: "2026-03-08 14:05:09 +0000", always in UTC, whole
// seconds rounded down, with no locale involved. A date outside the years 1 to 9999, or
// not finite, gives "invalid date".
std::string describeDate(Date date);

}  // namespace vorlane
