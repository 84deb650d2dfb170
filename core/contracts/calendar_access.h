#pragma once

namespace vorlane {

// What the user has granted the calendar reader. Never stored.
enum class CalendarAccess { notDetermined, authorized, denied, restricted, writeOnly };

}  // namespace vorlane
