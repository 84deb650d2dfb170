#pragma once

#include <string>

namespace vorlane {

// Whether Qt has a platform plugin for `key` ("xcb", "wayland") that loads: one in the
// folders Qt searches for platform plugins whose keys name it, and whose library loads with
// what it needs. Qt aborts when no platform of its list can be made, so a fall-back that is
// not there is found before it is asked for. Before or after the application object exists.
bool qtPlatformPluginLoads(const std::string& key);

}  // namespace vorlane
