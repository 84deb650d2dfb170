#include "platform/calendar/eds_busy_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/log_capture.h"
#include "tests/support/private_dbus.h"

namespace vorlane {
namespace {

// Two reads without the service: nothing read, and one log line saying why.
TEST(EdsBusyReaderTest, WithoutThePluginABusOrTheServiceNothingIsReadAndOneLineSaysSo) {
  struct Row {
    std::string plugin;
    std::optional<std::string> bus;
    std::string reason;
    bool exact = true;
  };
  std::vector<Row> rows{{"", {}, "built without it"},
                        {"/nonexistent/libvorlane_eds.so", {}, "Cannot load library", false}};
#ifdef VORLANE_EDS_PLUGIN
  ASSERT_FALSE(EdsBusyReader::standardPluginPath().empty());
  // A bus that cannot start the service: without asking it first this would look like a
  // service with no calendars.
  testing::PrivateDBus privateBus;
  ASSERT_FALSE(privateBus.address().empty());
  const std::string plugin = EdsBusyReader::standardPluginPath();
  rows.push_back({plugin, "unix:path=/nonexistent/bus", "no session bus"});
  rows.push_back({plugin, privateBus.address(), "not installed"});
#endif
  const char* const ambient = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  const std::optional<std::string> ambientBus =
      ambient ? std::optional<std::string>(ambient) : std::nullopt;
  for (const Row& row : rows) {
    if (row.bus) setenv("DBUS_SESSION_BUS_ADDRESS", row.bus->c_str(), 1);
    LogCapture log;
    const EdsBusyReader reader(row.plugin, "UTC");
    const DateInterval day{Date(0), Date(86400)};
    EXPECT_EQ(reader.read(day, {}), std::vector<BusyInterval>{}) << row.reason;
    EXPECT_EQ(reader.read(day, {}), std::vector<BusyInterval>{}) << row.reason;
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u) << row.reason;
    EXPECT_EQ(lines[0].level, LogLevel::info);
    const std::string expected = "Calendar service not available (" + row.reason +
                                 (row.exact ? "); reading calendar files only" : "");
    EXPECT_EQ(row.exact ? lines[0].message : lines[0].message.substr(0, expected.size()), expected);
  }
  if (ambientBus) {
    setenv("DBUS_SESSION_BUS_ADDRESS", ambientBus->c_str(), 1);
  } else {
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
  }
}

}  // namespace
}  // namespace vorlane
