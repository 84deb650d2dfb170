#include "foundation/json.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace vorlane {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(Json, WritesIntegralDoublesAsIntegersAndFloatsShortest) {
  struct Row {
    const char* name;
    Json value;
    const char* written;
  };
  const Row rows[] = {
      {"integral double", json::fromDouble(600.0), "600"},
      {"negative integral double", json::fromDouble(-3.0), "-3"},
      {"fraction", json::fromDouble(0.1), "0.1"},
      {"largest integer below 2^53", json::fromDouble(9007199254740991.0), "9007199254740991"},
      {"float 0.7", json::fromFloat(0.7f), "0.7"},
      {"float 0.1", json::fromFloat(0.1f), "0.1"},
      {"integral float", json::fromFloat(25.0f), "25"},
      {"largest float", json::fromFloat(FLT_MAX), "3.4028235e+38"},
      {"date", json::fromDate(Date(600.0)), "600"},
      {"date with a fraction", json::fromDate(Date(-1.5)), "-1.5"},
      {"uuid", json::fromUUID(*UUID::fromString("f47ac10b-58cc-4372-a567-0e02b2c3d479")),
       "\"F47AC10B-58CC-4372-A567-0E02B2C3D479\""},
  };
  for (const Row& row : rows) EXPECT_EQ(json::dump(row.value), row.written) << row.name;
  // Beyond 2^53 a double keeps its value, whatever its spelling.
  EXPECT_EQ(json::parse(json::dump(json::fromDouble(1e300))).get<double>(), 1e300);
  EXPECT_EQ(json::parse(json::dump(json::fromDouble(9007199254740992.0))).get<double>(), 9007199254740992.0);
}

TEST(Json, RefusesValuesWithoutAJsonForm) {
  EXPECT_THROW(json::fromDouble(nan), EncodingError);
  EXPECT_THROW(json::fromDouble(inf), EncodingError);
  EXPECT_THROW(json::fromDouble(-inf), EncodingError);
  EXPECT_THROW(json::fromFloat(std::numeric_limits<float>::quiet_NaN()), EncodingError);
  EXPECT_THROW(json::fromFloat(-std::numeric_limits<float>::infinity()), EncodingError);
  EXPECT_THROW(json::fromDate(Date(nan)), EncodingError);
}

TEST(Json, DumpsCompactlyInWrittenOrderAndReplacesBadText) {
  Json record;
  record["phrase"] = "stand up";
  record["at"] = json::fromDate(Date(10.0));
  record["id"] = "x";
  EXPECT_EQ(json::dump(record), R"({"phrase":"stand up","at":10,"id":"x"})");
  EXPECT_EQ(json::dump(Json("a\xFF" "b")), "\"a\xEF\xBF\xBD" "b\"");
}

TEST(Json, ParseFailuresAreCorruptData) {
  for (const char* text : {"", "{", "{\"a\":1} x", "[1,]", "1e400", "\"\xFF\"", "nul"}) {
    try {
      json::parse(text);
      ADD_FAILURE() << "parsed: " << text;
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.kind(), DecodingError::Kind::dataCorrupted) << text;
      EXPECT_EQ(error.codingPath(), "") << text;
    }
  }
}

// The kind and path of the error a read throws, or none.
template <typename Read>
std::optional<std::pair<DecodingError::Kind, std::string>> failureOf(Read read) {
  try {
    read();
  } catch (const DecodingError& error) {
    return std::make_pair(error.kind(), error.codingPath());
  }
  return std::nullopt;
}

TEST(JsonReader, NumbersBooleansAndStringsReadStrictly) {
  using Kind = DecodingError::Kind;
  const Json document = json::parse(R"({"i":25,"f":25.0,"half":25.5,"big":1e20,"max":9223372036854775807,
      "min":-9223372036854775808,"over":9223372036854775808,"twoTo63":9223372036854775808.0,
      "t":true,"s":"5","n":null,"huge":3e40,"tiny":0.7})");
  const JsonReader root(document);
  EXPECT_EQ(root["i"].asInt(), 25);
  EXPECT_EQ(root["f"].asInt(), 25);
  EXPECT_EQ(root["max"].asInt(), INT64_MAX);
  EXPECT_EQ(root["min"].asInt(), INT64_MIN);
  EXPECT_EQ(root["i"].asDouble(), 25.0);
  EXPECT_EQ(root["over"].asDouble(), 9223372036854775808.0);
  EXPECT_EQ(root["tiny"].asFloat(), 0.7f);
  EXPECT_EQ(root["i"].asDate(), Date(25.0));
  EXPECT_TRUE(root["t"].asBool());
  EXPECT_EQ(root["s"].asString(), "5");

  struct Row {
    const char* name;
    std::function<void()> read;
    Kind kind;
    const char* path;
  };
  const Row rows[] = {
      {"fraction as integer", [&] { root["half"].asInt(); }, Kind::dataCorrupted, "half"},
      {"1e20 as integer", [&] { root["big"].asInt(); }, Kind::dataCorrupted, "big"},
      {"2^63 as integer", [&] { root["over"].asInt(); }, Kind::dataCorrupted, "over"},
      {"2^63 double as integer", [&] { root["twoTo63"].asInt(); }, Kind::dataCorrupted, "twoTo63"},
      {"3e40 as float", [&] { root["huge"].asFloat(); }, Kind::dataCorrupted, "huge"},
      {"Boolean as integer", [&] { root["t"].asInt(); }, Kind::typeMismatch, "t"},
      {"Boolean as double", [&] { root["t"].asDouble(); }, Kind::typeMismatch, "t"},
      {"Boolean as float", [&] { root["t"].asFloat(); }, Kind::typeMismatch, "t"},
      {"integer as Boolean", [&] { root["i"].asBool(); }, Kind::typeMismatch, "i"},
      {"text as integer", [&] { root["s"].asInt(); }, Kind::typeMismatch, "s"},
      {"integer as text", [&] { root["i"].asString(); }, Kind::typeMismatch, "i"},
      {"text as date", [&] { root["s"].asDate(); }, Kind::typeMismatch, "s"},
      {"null member", [&] { root["n"]; }, Kind::valueNotFound, "n"},
      {"absent member", [&] { root["gone"]; }, Kind::keyNotFound, "gone"},
      {"member of a number", [&] { root["i"]["x"]; }, Kind::typeMismatch, "i"},
      {"keys of a number", [&] { root["i"].keys(); }, Kind::typeMismatch, "i"},
      {"elements of an object", [&] { root.elements(); }, Kind::typeMismatch, ""},
      {"bad UUID", [&] { root["s"].asUUID(); }, Kind::dataCorrupted, "s"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(failureOf(row.read), std::make_pair(row.kind, std::string(row.path))) << row.name;
  }
}

TEST(JsonReader, ErrorsNameTheBadFieldsPath) {
  const Json list = json::parse(R"([{"id":"F47AC10B-58CC-4372-A567-0E02B2C3D479"},{},{"id":"nope"}])");
  const std::vector<JsonReader> items = JsonReader(list).elements();
  EXPECT_EQ(items[0]["id"].asUUID().toString(), "F47AC10B-58CC-4372-A567-0E02B2C3D479");
  EXPECT_EQ(failureOf([&] { items[1]["id"]; }),
            std::make_pair(DecodingError::Kind::keyNotFound, std::string("[1].id")));
  EXPECT_EQ(failureOf([&] { items[2]["id"].asUUID(); }),
            std::make_pair(DecodingError::Kind::dataCorrupted, std::string("[2].id")));

  const Json nested = json::parse(R"({"trigger":{"recurring":{"hour":"nine","days":[1,"2"]}}})");
  const JsonReader recurring = JsonReader(nested)["trigger"]["recurring"];
  EXPECT_EQ(failureOf([&] { recurring["hour"].asInt(); }),
            std::make_pair(DecodingError::Kind::typeMismatch, std::string("trigger.recurring.hour")));
  EXPECT_EQ(failureOf([&] { recurring["days"].elements()[1].asInt(); }),
            std::make_pair(DecodingError::Kind::typeMismatch, std::string("trigger.recurring.days[1]")));
  try {
    recurring["minute"];
    ADD_FAILURE() << "absent key read";
  } catch (const DecodingError& error) {
    EXPECT_NE(std::string(error.what()).find("trigger.recurring.minute"), std::string::npos);
    EXPECT_NE(error.description().find("minute"), std::string::npos);
  }
}

TEST(JsonReader, OptionalMembersKeysAndUuidCase) {
  const Json document = json::parse(R"({"z":1,"a":null,"m":"f47ac10b-58cc-4372-a567-0e02b2c3d479"})");
  const JsonReader root(document);
  EXPECT_EQ(root.keys(), (std::vector<std::string>{"z", "a", "m"}));
  EXPECT_FALSE(root.optional("a"));
  EXPECT_FALSE(root.optional("absent"));
  ASSERT_TRUE(root.optional("z"));
  EXPECT_EQ(root.optional("z")->codingPath(), "z");
  EXPECT_TRUE(root.contains("a"));
  EXPECT_FALSE(root.contains("absent"));
  EXPECT_EQ(root["m"].asUUID(), *UUID::fromString("F47AC10B-58CC-4372-A567-0E02B2C3D479"));
  EXPECT_EQ(failureOf([&] { JsonReader(root["z"].value()).optional("x"); }),
            std::make_pair(DecodingError::Kind::typeMismatch, std::string("")));
}

TEST(JsonReader, ReadsBackWhatTheWritersWrote) {
  const UUID id = UUID::random();
  Json record;
  record["id"] = json::fromUUID(id);
  record["at"] = json::fromDate(Date(794000000.25));
  record["volume"] = json::fromFloat(0.7f);
  record["count"] = json::fromDouble(600.0);
  const Json back = json::parse(json::dump(record));
  const JsonReader reader(back);
  EXPECT_EQ(reader["id"].asUUID(), id);
  EXPECT_EQ(reader["at"].asDate(), Date(794000000.25));
  EXPECT_EQ(reader["volume"].asFloat(), 0.7f);
  EXPECT_EQ(reader["count"].asInt(), 600);
}

}  // namespace
}  // namespace vorlane
