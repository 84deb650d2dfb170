#pragma once

#include <filesystem>

namespace vorlane {

// Where a calendar plugin named `name` is: beside the program, then in the installed
// lib/vorlane beside its bin/, then where the build left it (`built`, may be empty).
std::filesystem::path calendarPluginPath(const std::filesystem::path& name,
                                         const std::filesystem::path& built);

}  // namespace vorlane
