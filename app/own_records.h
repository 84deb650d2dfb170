#pragma once

#include <string_view>

namespace vorlane {

// Whether `fileName` in the config folder is the file of one of the program's records: those
// of its fixed keys, and the clock positions kept per screen.
bool isOwnRecordFile(std::string_view fileName);

// Whether `fileName` in the data folder is the reminders file.
bool isOwnDataFile(std::string_view fileName);

}  // namespace vorlane
