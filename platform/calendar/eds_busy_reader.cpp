#include "platform/calendar/eds_busy_reader.h"

#include <system_error>
#include <utility>

#include "platform/calendar/plugin_path.h"
#include "platform/logging/log.h"

namespace vorlane {

namespace fs = std::filesystem;

EdsBusyReader::EdsBusyReader(fs::path plugin, std::string zoneID)
    : plugin_(std::move(plugin)), zoneID_(std::move(zoneID)) {}

EdsBusyReader::~EdsBusyReader() = default;

fs::path EdsBusyReader::standardPluginPath() {
#ifdef VORLANE_EDS_PLUGIN
  return calendarPluginPath("libvorlane_eds.so", VORLANE_EDS_PLUGIN);
#else
  return calendarPluginPath("libvorlane_eds.so", {});
#endif
}

std::vector<std::string> EdsBusyReader::places() const {
  return {"the calendars of GNOME Online Accounts and Evolution"};
}

void EdsBusyReader::sayUnavailable(const std::string& reason) const {
  if (std::exchange(toldUnavailable_, true)) return;
  Log::lifecycle().info("Calendar service not available (%{public}s); reading calendar files only",
                        reason);
}

bool EdsBusyReader::load() const {
  if (std::exchange(tried_, true)) return calendars_ != nullptr;
  if (plugin_.empty()) {
    sayUnavailable("built without it");
    return false;
  }
  library_.setFileName(QString::fromStdString(plugin_.string()));
  library_.setLoadHints(QLibrary::PreventUnloadHint);
  const auto factory =
      reinterpret_cast<EdsCalendarsFactory>(library_.resolve(edsCalendarsFactoryName));
  if (factory == nullptr) {
    sayUnavailable(library_.errorString().toStdString());
    return false;
  }
  calendars_.reset(factory(edsCalendarsVersion, zoneID_.c_str()));
  if (!calendars_) sayUnavailable("plugin of another version");
  return calendars_ != nullptr;
}

std::vector<BusyInterval> EdsBusyReader::read(DateInterval interval,
                                              const CancelToken& cancel) const {
  if (!load()) return {};
  EdsCalendars::Reading reading = calendars_->read(interval, cancel);
  switch (reading.availability) {
    case EdsCalendars::Availability::noSessionBus:
      sayUnavailable("no session bus");
      return {};
    case EdsCalendars::Availability::notInstalled:
      sayUnavailable("not installed");
      return {};
    case EdsCalendars::Availability::available:
      break;
  }
  for (const std::string& failure : reading.failures) {
    Log::lifecycle().error("Calendar could not be read: %{public}s", failure);
  }
  return std::move(reading.busy);
}

}  // namespace vorlane
