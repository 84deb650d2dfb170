#include "platform/logging/log_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace vorlane {
namespace {

TEST(LogFormat, RendersEachDirectiveFromItsArgument) {
  const char* none = nullptr;
  const std::string user = "50% off %s %d %{public}s\nnext";
  const struct {
    const char* name;
    std::string actual;
    std::string expected;
  } rows[] = {
      {"public text", formatLogMessage("added %{public}s", {std::string("tea")}), "added tea"},
      {"plain s is private", formatLogMessage("failed: %s", {"denied"}), "failed: <private>"},
      {"ld at the int64 limit", formatLogMessage("%ld", {std::numeric_limits<std::int64_t>::min()}),
       "-9223372036854775808"},
      {"u at the uint64 limit", formatLogMessage("%u", {std::numeric_limits<std::uint64_t>::max()}),
       "18446744073709551615"},
      {"bool", formatLogMessage("%{bool}d/%{bool}d", {true, false}), "true/false"},
      {"%% and unknown ones copied", formatLogMessage("100%% %d %x %f %", {7}), "100% 7 %x %f %"},
      {"missing argument", formatLogMessage("%{public}s and %d", {"one"}), "one and <missing>"},
      {"wrong types", formatLogMessage("%d %{public}s", {"seven", 7}), "<invalid> <invalid>"},
      {"null char pointer", formatLogMessage("%{public}s", {none}), "(null)"},
      {"user text is never read as a format",
       formatLogMessage("[%{public}s] %d", {std::string_view(user), -3}), "[" + user + "] -3"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.actual, row.expected) << row.name;
}

}  // namespace
}  // namespace vorlane
