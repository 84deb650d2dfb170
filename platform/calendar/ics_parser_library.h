#pragma once

#include <filesystem>

#include "platform/calendar/ics_parser.h"

namespace vorlane {

// The calendar-file plugin, loaded on the first call from any thread and kept for the life of
// the program; null, after one logged error, when it cannot be had.
const IcsParser* icsParser();

// Loads the plugin at `path`: its parser, or null after one logged error. For icsParser and tests.
const IcsParser* loadIcsParser(const std::filesystem::path& path);

// Where the plugin is looked for: beside the program, in lib/vorlane where it is installed,
// then where the build put it.
std::filesystem::path icsParserPluginPath();

}  // namespace vorlane
