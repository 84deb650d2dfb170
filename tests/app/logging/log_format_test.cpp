#include "app/logging/log_format.h"

#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

TEST(LogFormat, RendersEachDirectiveFromItsArgument) {
  const char* none = nullptr;
  const struct {
    const char* name;
    std::string actual;
    std::string expected;
  } rows[] = {
      {"public text", formatLogMessage("added %{public}s", {std::string("tea")}), "added tea"},
      {"plain s is private", formatLogMessage("launch at login failed: %s", {"denied"}),
       "launch at login failed: <private>"},
      {"negative d", formatLogMessage("code %d", {-42}), "code -42"},
      {"ld at the int64 limit",
       formatLogMessage("%ld", {std::numeric_limits<std::int64_t>::min()}),
       "-9223372036854775808"},
      {"u at the uint64 limit",
       formatLogMessage("%u", {std::numeric_limits<std::uint64_t>::max()}),
       "18446744073709551615"},
      {"bool true and false", formatLogMessage("%{bool}d/%{bool}d", {true, false}),
       "true/false"},
      {"percent escape", formatLogMessage("100%% done %d", {7}), "100% done 7"},
      {"unknown directive copied", formatLogMessage("%x %f %", {}), "%x %f %"},
      {"missing argument", formatLogMessage("%{public}s and %d", {"one"}), "one and <missing>"},
      {"text where a number belongs", formatLogMessage("%d", {"seven"}), "<invalid>"},
      {"number where public text belongs", formatLogMessage("%{public}s", {7}), "<invalid>"},
      {"string_view and char array",
       formatLogMessage("%{public}s-%{public}s", {std::string_view("ab"), "cd"}), "ab-cd"},
      {"null char pointer", formatLogMessage("%{public}s", {none}), "(null)"},
      {"mixed, in order",
       formatLogMessage("%{public}s %s %ld %{bool}d %u", {"visible", "secret", 5L, true, 9u}),
       "visible <private> 5 true 9"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.actual, row.expected) << row.name;
}

TEST(LogFormat, UserTextIsNeverReadAsAFormat) {
  const std::string user = "50% off %s %d %{public}s\nnext";
  EXPECT_EQ(formatLogMessage("[%{public}s] %d", {user, 3}), "[" + user + "] 3");
}

}  // namespace
}  // namespace vorlane
