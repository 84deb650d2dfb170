#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/contracts/busy_interval.h"
#include "foundation/calendar.h"
#include "foundation/date.h"

namespace vorlane {

struct IcsReadOptions {
  // The user's own address, for recognising the user among an event's attendees; none
  // means nobody is the user.
  std::optional<std::string> userEmail;
  // Places floating and all-day times (which name no zone) in the user's zone.
  Calendar calendar;
  // How long one file may keep the reader, whatever it holds; the read then ends with what
  // it found. A last guard: steps end a costly read well before, and parsing the largest
  // file read (20 MB) takes about a second and a half on a loaded machine.
  std::chrono::steady_clock::duration timeLimit = std::chrono::seconds(5);
};

// The user's address from the EMAIL variable's value ("Ann <ann@example.org>" or
// "ann@example.org"); none when unset or blank.
std::optional<std::string> userEmailFromEnvironment(const char* value);

// The busy stretches of the events of one calendar file that overlap `range`. Skipped, in
// this order: cancelled events, events shown as free, events the user declined, events
// without a start or an end, and events whose end is not after their start. Recurring
// events give one stretch per occurrence (excluded dates left out; an occurrence replaced
// by an override gives way to the override, one "and all that follow" moves the later ones
// too; a series' UNTIL is inclusive). Times in a zone the system's zone data knows follow the
// system's rules, whatever the file's copy of the zone holds; recurrence rule parts no
// calendar program knows are left out of their rules, in one log line per file. Order: as
// the file lists them, occurrences in time order; nothing merged, sorted across events or
// clipped to the range.
//
// Malformed text gives what could be read of it; text nested deeper than any calendar is
// (hostile input) gives nothing. Each file's work is bounded: zones costing more than real
// ones are not used, rules libical may walk without end read as free, and recurring events
// are expanded cheapest first until the file's steps or time run out, so the costly ones
// (not single events, not ordinary meetings) are what is left out. Steps of work, not the
// clock, bound a read, so a slow machine reads a file as a fast one does; the time limit is
// a last guard. Never throws.
//
// The work is done by the calendar-file plugin (libical), loaded on the first call; without
// it, nothing is read and one error is logged.
std::vector<BusyInterval> busyIntervalsInIcs(std::string_view text, DateInterval range,
                                             const IcsReadOptions& options);

}  // namespace vorlane
