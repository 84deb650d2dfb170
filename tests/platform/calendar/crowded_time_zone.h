#pragma once

#include <string>

namespace vorlane {

// A VTIMEZONE "Crowded" of `observances` yearly rules, one a month in turn, all at UTC+1: as
// costly to expand as a zone gets while every rule says the same.
inline std::string crowdedTimeZone(int observances) {
  std::string zone = "BEGIN:VTIMEZONE\nTZID:Crowded\n";
  for (int i = 0; i < observances; ++i) {
    zone +=
        "BEGIN:STANDARD\nDTSTART:19700101T000000\nTZOFFSETFROM:+0100\nTZOFFSETTO:+0100\n"
        "RRULE:FREQ=YEARLY;BYMONTH=" +
        std::to_string(i % 12 + 1) + "\nEND:STANDARD\n";
  }
  return zone + "END:VTIMEZONE\n";
}

}  // namespace vorlane
