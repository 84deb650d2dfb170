#include "platform/calendar/ics_parser_library.h"

#include <QLibrary>
#include <system_error>

#include "platform/calendar/plugin_path.h"
#include "platform/logging/log.h"

namespace vorlane {

namespace fs = std::filesystem;

std::filesystem::path icsParserPluginPath() {
#ifdef VORLANE_ICS_PLUGIN
  return calendarPluginPath("libvorlane_ics.so", VORLANE_ICS_PLUGIN);
#else
  return calendarPluginPath("libvorlane_ics.so", {});
#endif
}

const IcsParser* loadIcsParser(const fs::path& path) {
  // Never unloaded: the parser it made lives as long as the program.
  auto* library = new QLibrary(QString::fromStdString(path.string()));
  library->setLoadHints(QLibrary::PreventUnloadHint);
  std::string reason;
  IcsParser* parser = nullptr;
  if (!library->load()) {
    reason = library->errorString().toStdString();
  } else if (const auto factory =
                 reinterpret_cast<IcsParserFactory>(library->resolve(icsParserFactoryName));
             factory == nullptr) {
    reason = "not the calendar-file plugin";
  } else if (parser = factory(icsParserVersion); parser == nullptr) {
    reason = "plugin of another version";
  }
  if (parser == nullptr) {
    Log::lifecycle().error("Calendar files cannot be read (%{public}s)", reason);
    delete library;
  }
  return parser;
}

const IcsParser* icsParser() {
  static const IcsParser* const parser = loadIcsParser(icsParserPluginPath());
  return parser;
}

}  // namespace vorlane
