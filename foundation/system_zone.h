#pragma once

#include <unicode/utypes.h>

#include <functional>
#include <memory>
#include <string>

U_NAMESPACE_BEGIN
class TimeZone;
U_NAMESPACE_END

namespace vorlane {

// Told, once per zone, that the system's time-zone database lacks a zone that ICU's own
// (older) data has, so that zone's local times follow ICU's rules. Foundation logs nothing
// itself: the platform layer installs an observer that writes the log line. Set it before
// the first calendar is built; it may be called from any thread building a calendar.
using ZoneFallbackObserver = std::function<void(const std::string& zoneID)>;
void setZoneFallbackObserver(ZoneFallbackObserver observer);

namespace detail {

// The zone `id` as the system's database (/usr/share/zoneinfo) describes it, as an ICU
// rule-based zone named `id`: every change the file lists, then the file's own rule for the
// years after. None when the system has no such zone or its file cannot be used.
std::unique_ptr<icu::TimeZone> makeSystemZone(const std::string& id);

// The user's zone id: $TZ (":Europe/Paris" and paths into a zoneinfo folder too), else the
// zone /etc/localtime names; empty when neither says.
std::string userZoneID();

// Reports a zone to the observer set above, if any.
void reportZoneFallback(const std::string& id);

}  // namespace detail
}  // namespace vorlane
