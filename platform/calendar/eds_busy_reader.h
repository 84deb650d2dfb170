#pragma once

#include <QLibrary>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/calendar/busy_reader.h"
#include "platform/calendar/eds_calendars.h"

namespace vorlane {

// The calendars of the desktop's calendar service (Evolution Data Server), through its
// plugin, loaded on first read. Without the plugin, a session bus or the service, it reads
// nothing and says so in one log line; the program runs as it would without it. All calls,
// the plugin's included, happen on the thread that reads: keep it on one thread (see
// TimeLimitedReader) and destroy it there.
class EdsBusyReader final : public BusyReader {
 public:
  // `plugin` may be empty (built without the service). `zoneID` places all-day events.
  EdsBusyReader(std::filesystem::path plugin, std::string zoneID);
  ~EdsBusyReader() override;

  // Where the plugin is looked for: beside the program, then where the build put it.
  static std::filesystem::path standardPluginPath();

  // Calendars that fail are logged and left out; throws when the service's list of
  // calendars cannot be had.
  std::vector<BusyInterval> read(DateInterval interval, const CancelToken& cancel) const override;
  std::vector<std::string> places() const override;

 private:
  // Loads the plugin once; false (after one log line) when it cannot be had.
  bool load() const;
  void sayUnavailable(const std::string& reason) const;

  std::filesystem::path plugin_;
  std::string zoneID_;
  // Loaded lazily on the reading thread; never unloaded (GLib types cannot be).
  mutable QLibrary library_;
  mutable std::unique_ptr<EdsCalendars> calendars_;
  mutable bool tried_ = false;
  mutable bool toldUnavailable_ = false;
};

}  // namespace vorlane
