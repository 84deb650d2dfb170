#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorlane {

// The name people know an application by, for the identifiers the default quiet-app list
// holds ("com.apple.QuickTimePlayer" gives "QuickTime Player"), whether or not a Linux
// window can report them; none for any other identifier.
std::optional<std::string> knownAppName(std::string_view appID);

}  // namespace vorlane
