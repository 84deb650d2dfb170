#include "platform/calendar/eds_busy_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/logging/log_capture.h"
#include "tests/support/private_dbus.h"

namespace vorlane {
namespace {

const DateInterval day{Date(0), Date(86400)};
const std::string unavailable = "Calendar service not available (";

// Sets an environment variable for one scope.
struct ScopedVariable {
  ScopedVariable(const char* name, const std::string& value) : name(name) {
    if (const char* old = std::getenv(name)) previous = old;
    setenv(name, value.c_str(), 1);
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
void expectOneLine(const EdsBusyReader& reader, const std::string& reason) {
  LogCapture log;
  EXPECT_EQ(reader.read(day, {}), std::vector<BusyInterval>{}) << reason;
  EXPECT_EQ(reader.read(day, {}), std::vector<BusyInterval>{}) << reason;
  const auto lines = log.lines();
  ASSERT_EQ(lines.size(), 1u) << reason;
  EXPECT_EQ(lines[0].level, LogLevel::info);
  EXPECT_EQ(lines[0].message, unavailable + reason + "); reading calendar files only");
}

TEST(EdsBusyReaderTest, WithoutThePluginNothingIsReadAndOneLineSaysSo) {
  expectOneLine(EdsBusyReader("", "UTC"), "built without it");
  LogCapture log;
  const EdsBusyReader missing("/nonexistent/libvorlane_eds.so", "UTC");
  EXPECT_EQ(missing.read(day, {}), std::vector<BusyInterval>{});
  EXPECT_EQ(missing.read(day, {}), std::vector<BusyInterval>{});
  ASSERT_EQ(log.lines().size(), 1u);
  EXPECT_EQ(log.lines()[0].message.rfind(unavailable + "Cannot load library", 0), 0u)
      << log.lines()[0].message;
}

#ifdef VORLANE_EDS_PLUGIN
TEST(EdsBusyReaderTest, WithoutASessionBusOrTheServiceNothingIsReadAndOneLineSaysSo) {
  ASSERT_FALSE(EdsBusyReader::standardPluginPath().empty());
  {
    ScopedVariable bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    expectOneLine(EdsBusyReader(EdsBusyReader::standardPluginPath(), "UTC"), "no session bus");
  }
  // A bus that cannot start the service: without asking it first this would look like a
  // service with no calendars.
  testing::PrivateDBus privateBus;
  ASSERT_FALSE(privateBus.address().empty());
  ScopedVariable bus("DBUS_SESSION_BUS_ADDRESS", privateBus.address());
  expectOneLine(EdsBusyReader(EdsBusyReader::standardPluginPath(), "UTC"), "not installed");
}
#endif

}  // namespace
}  // namespace vorlane
