#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/contracts/busy_interval.h"
#include "foundation/calendar.h"

namespace vorlane::testing {

// Small calendars that other calendar programs read alike, with the busy times they give,
// shared by the tests of both readers (calendar files and the calendar service). The user
// lives in Berlin.
inline constexpr const char* caseUserZone = "Europe/Berlin";

// An instant from "YYYYMMDDTHHMM" in UTC.
inline Date utcStamp(const std::string& stamp) {
  static const Calendar utc("UTC");
  const auto number = [&](std::size_t from, std::size_t length) {
    return std::stoi(stamp.substr(from, length));
  };
  return *utc.date(number(0, 4), number(4, 2), number(6, 2), number(9, 2), number(11, 2));
}

struct RecurrenceCase {
  const char* name;
  std::string events;  // what goes between BEGIN:VCALENDAR and END:VCALENDAR
  DateInterval range;
  std::vector<BusyInterval> busy;  // in time order
  // The calendar service drops a rule it cannot parse when it stores the event, keeping a
  // note of the error only; its queries cannot find such events.
  bool serviceLosesTheRule = false;
};

// Failures name the stretches in UTC.
inline std::string utcText(const BusyInterval& busy) {
  static const Calendar utc("UTC");
  const auto text = [](Date date) {
    const DateComponents c = utc.components(date);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d", c.year, c.month, c.day, c.hour,
                  c.minute);
    return std::string(buffer);
  };
  return text(busy.start) + " to " + text(busy.end);
}

inline BusyInterval utcStretch(const std::string& from, const std::string& to) {
  return {utcStamp(from), utcStamp(to)};
}

inline std::string caseEvent(const std::string& uid, const std::string& lines) {
  return "BEGIN:VEVENT\nUID:" + uid + "\nSUMMARY:" + uid + "\n" + lines + "END:VEVENT\n";
}

inline const std::string fullBerlinZone =
    "BEGIN:VTIMEZONE\nTZID:Europe/Berlin\nBEGIN:DAYLIGHT\nTZOFFSETFROM:+0100\n"
    "TZOFFSETTO:+0200\nTZNAME:CEST\nDTSTART:19700329T020000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\nEND:DAYLIGHT\nBEGIN:STANDARD\n"
    "TZOFFSETFROM:+0200\nTZOFFSETTO:+0100\nTZNAME:CET\nDTSTART:19701025T030000\n"
    "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\nEND:STANDARD\nEND:VTIMEZONE\n";

// Only the two transitions around a producer's own events of 2018-2019, under `tzid`.
inline std::string cutShortBerlinZone(const std::string& tzid, const std::string& extra = "") {
  return "BEGIN:VTIMEZONE\nTZID:" + tzid + "\n" + extra +
         "BEGIN:STANDARD\nDTSTART:20181028T030000\nTZOFFSETFROM:+0200\nTZOFFSETTO:+0100\n"
         "TZNAME:CET\nEND:STANDARD\nBEGIN:DAYLIGHT\nDTSTART:20190331T020000\n"
         "TZOFFSETFROM:+0100\nTZOFFSETTO:+0200\nTZNAME:CEST\nEND:DAYLIGHT\nEND:VTIMEZONE\n";
}

// As Outlook writes them: Windows names, rules from 1601.
inline std::string outlookZone(const std::string& tzid, const char* standardOffset,
                               const char* daylightOffset, const char* standardRule,
                               const char* daylightRule) {
  return "BEGIN:VTIMEZONE\nTZID:" + tzid + "\nBEGIN:STANDARD\nDTSTART:16010101T030000\n" +
         "TZOFFSETFROM:" + daylightOffset + "\nTZOFFSETTO:" + standardOffset +
         "\nRRULE:" + standardRule + "\nEND:STANDARD\nBEGIN:DAYLIGHT\nDTSTART:16010101T020000\n" +
         "TZOFFSETFROM:" + standardOffset + "\nTZOFFSETTO:" + daylightOffset +
         "\nRRULE:" + daylightRule + "\nEND:DAYLIGHT\nEND:VTIMEZONE\n";
}

inline std::string westEuropeZone() {
  return outlookZone("W. Europe Standard Time", "+0100", "+0200",
                     "FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10", "FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3");
}

inline std::string pacificZone(const std::string& tzid) {
  return outlookZone(tzid, "-0800", "-0700", "FREQ=YEARLY;BYDAY=1SU;BYMONTH=11",
                     "FREQ=YEARLY;BYDAY=2SU;BYMONTH=3");
}

inline std::vector<RecurrenceCase> recurrenceCases() {
  const DateInterval december{utcStamp("20261201T0000"), utcStamp("20270101T0000")};
  const DateInterval winterDay{utcStamp("20261208T0000"), utcStamp("20261209T0000")};
  const DateInterval summerDay{utcStamp("20260708T0000"), utcStamp("20260709T0000")};
  const DateInterval march{utcStamp("20260301T0000"), utcStamp("20260401T0000")};
  const std::string berlinSeries =
      "DTSTART;TZID=Europe/Berlin:20261207T160000\nDTEND;TZID=Europe/Berlin:20261207T170000\n"
      "RRULE:FREQ=DAILY;UNTIL=20261209T150000Z\n";
  const std::vector<BusyInterval> berlinDays{utcStretch("20261207T1500", "20261207T1600"),
                                             utcStretch("20261208T1500", "20261208T1600"),
                                             utcStretch("20261209T1500", "20261209T1600")};
  const auto tenOClock = [](const std::string& tzid, const std::string& day) {
    return caseEvent("ten-" + day, "DTSTART;TZID=" + tzid + ":" + day + "T100000\nDURATION:PT1H\n");
  };
  return {
      // A series ends with the occurrence at its UNTIL (UTC), whatever zone it runs in.
      {"daily in a system zone", caseEvent("until-daily", berlinSeries), december, berlinDays},
      {"daily in the file's zone", fullBerlinZone + caseEvent("until-file", berlinSeries), december,
       berlinDays},
      {"weekly in New York",
       caseEvent("until-weekly",
                 "DTSTART;TZID=America/New_York:20261201T090000\n"
                 "DTEND;TZID=America/New_York:20261201T093000\n"
                 "RRULE:FREQ=WEEKLY;UNTIL=20261215T140000Z\n"),
       december,
       {utcStretch("20261201T1400", "20261201T1430"), utcStretch("20261208T1400", "20261208T1430"),
        utcStretch("20261215T1400", "20261215T1430")}},
      {"monthly in Tokyo",
       caseEvent("until-monthly",
                 "DTSTART;TZID=Asia/Tokyo:20261010T090000\nDURATION:PT1H\n"
                 "RRULE:FREQ=MONTHLY;UNTIL=20261210T000000Z\n"),
       {utcStamp("20261001T0000"), utcStamp("20270101T0000")},
       {utcStretch("20261010T0000", "20261010T0100"), utcStretch("20261110T0000", "20261110T0100"),
        utcStretch("20261210T0000", "20261210T0100")}},
      {"yearly in Sydney",
       caseEvent("until-yearly",
                 "DTSTART;TZID=Australia/Sydney:20241208T100000\n"
                 "DURATION:PT1H\nRRULE:FREQ=YEARLY;UNTIL=20261207T230000Z\n"),
       december,
       {utcStretch("20261207T2300", "20261208T0000")}},
      {"hourly in Berlin",
       caseEvent("until-hourly",
                 "DTSTART;TZID=Europe/Berlin:20261208T090000\n"
                 "DURATION:PT30M\nRRULE:FREQ=HOURLY;UNTIL=20261208T100000Z\n"),
       december,
       {utcStretch("20261208T0800", "20261208T0830"), utcStretch("20261208T0900", "20261208T0930"),
        utcStretch("20261208T1000", "20261208T1030")}},
      {"all-day days to a date",
       caseEvent("until-days",
                 "DTSTART;VALUE=DATE:20261207\nDTEND;VALUE=DATE:20261208\n"
                 "RRULE:FREQ=DAILY;UNTIL=20261209\n"),
       december,
       {utcStretch("20261206T2300", "20261207T2300"), utcStretch("20261207T2300", "20261208T2300"),
        utcStretch("20261208T2300", "20261209T2300")}},

      // A zone the system knows follows the system's rules, whatever the file's copy holds.
      {"a cut-short zone in winter",
       cutShortBerlinZone("Europe/Berlin") + tenOClock("Europe/Berlin", "20261208"),
       winterDay,
       {utcStretch("20261208T0900", "20261208T1000")}},
      {"a cut-short zone in summer",
       cutShortBerlinZone("Europe/Berlin") + tenOClock("Europe/Berlin", "20260708"),
       summerDay,
       {utcStretch("20260708T0800", "20260708T0900")}},
      {"a cut-short zone named by its location",
       cutShortBerlinZone("/example.org/20190101_1/Berlin", "X-LIC-LOCATION:Europe/Berlin\n") +
           tenOClock("/example.org/20190101_1/Berlin", "20261208"),
       winterDay,
       {utcStretch("20261208T0900", "20261208T1000")}},
      {"a Windows zone name in winter",
       westEuropeZone() + tenOClock("\"W. Europe Standard Time\"", "20261208"),
       winterDay,
       {utcStretch("20261208T0900", "20261208T1000")}},
      {"a Windows zone name in summer",
       westEuropeZone() + tenOClock("\"W. Europe Standard Time\"", "20260708"),
       summerDay,
       {utcStretch("20260708T0800", "20260708T0900")}},
      {"Pacific time",
       pacificZone("Pacific Standard Time") + tenOClock("\"Pacific Standard Time\"", "20261208"),
       winterDay,
       {utcStretch("20261208T1800", "20261208T1900")}},
      {"Pacific time named with a stray colon",
       pacificZone("Pacific Standard Time") + tenOClock("\"Pacific Standard Time:\"", "20261208"),
       winterDay,
       {utcStretch("20261208T1800", "20261208T1900")}},

      // Moved occurrences stand at their new times; an override giving both an end and a
      // length keeps its end.
      {"moved occurrences",
       caseEvent("moved",
                 "DTSTART;TZID=Europe/Berlin:20260307T020000\n"
                 "DTEND;TZID=Europe/Berlin:20260307T030000\n"
                 "RRULE:FREQ=DAILY;UNTIL=20260310T010000Z\n") +
           caseEvent("moved",
                     "RECURRENCE-ID;TZID=Europe/Berlin:20260309T020000\n"
                     "DTSTART;TZID=Europe/Berlin:20260309T030000\n"
                     "DTEND;TZID=Europe/Berlin:20260309T040000\n") +
           caseEvent("moved",
                     "RECURRENCE-ID;TZID=Europe/Berlin:20260308T020000\n"
                     "DTSTART;TZID=Europe/Berlin:20260308T050000\n"
                     "DTEND;TZID=Europe/Berlin:20260308T060000\nDURATION:PT0S\n"),
       march,
       {utcStretch("20260307T0100", "20260307T0200"), utcStretch("20260308T0400", "20260308T0500"),
        utcStretch("20260309T0200", "20260309T0300"),
        utcStretch("20260310T0100", "20260310T0200")}},
      {"this and the following occurrences moved",
       caseEvent("future",
                 "DTSTART;TZID=Europe/Berlin:20260302T090000\n"
                 "DTEND;TZID=Europe/Berlin:20260302T093000\n"
                 "RRULE:FREQ=DAILY;COUNT=5\n") +
           caseEvent("future",
                     "RECURRENCE-ID;RANGE=THISANDFUTURE;TZID=Europe/Berlin:"
                     "20260304T090000\nDTSTART;TZID=Europe/Berlin:20260304T110000\n"
                     "DTEND;TZID=Europe/Berlin:20260304T120000\n"),
       march,
       {utcStretch("20260302T0800", "20260302T0830"), utcStretch("20260303T0800", "20260303T0830"),
        utcStretch("20260304T1000", "20260304T1100"), utcStretch("20260305T1000", "20260305T1100"),
        utcStretch("20260306T1000", "20260306T1100")}},
      // The part nobody knows is left out; the rest of the rule stands.
      {"a misspelt rule part",
       caseEvent("misspelt",
                 "DTSTART:20191021T090000Z\nDURATION:PT1H\n"
                 "RRULE:FREQ=DAILY;UNTL=20191023\n"),
       {utcStamp("20191020T0000"), utcStamp("20191025T0000")},
       {utcStretch("20191021T0900", "20191021T1000"), utcStretch("20191022T0900", "20191022T1000"),
        utcStretch("20191023T0900", "20191023T1000"), utcStretch("20191024T0900", "20191024T1000")},
       true},
  };
}

}  // namespace vorlane::testing
