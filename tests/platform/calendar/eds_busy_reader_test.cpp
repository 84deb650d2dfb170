#include "platform/calendar/eds_busy_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/logging/log_capture.h"
#include "tests/support/private_dbus.h"

namespace vorlane {
namespace {

// Sets an environment variable for one scope.
struct ScopedVariable {
  ScopedVariable(const char* name, const std::optional<std::string>& value) : name(name) {
    if (const char* old = std::getenv(name)) previous = old;
    if (value) setenv(name, value->c_str(), 1);
  }
  ~ScopedVariable() {
    if (previous) {
      setenv(name, previous->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }
  const char* name;
  std::optional<std::string> previous;
};

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
  for (const Row& row : rows) {
    ScopedVariable bus("DBUS_SESSION_BUS_ADDRESS", row.bus);
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
}

}  // namespace
}  // namespace vorlane
