#include "foundation/json.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/support/thrown.h"

namespace vorlane {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(Json, WritesIntegralDoublesAsIntegersAndFloatsShortest) {
  const std::pair<Json, const char*> rows[] = {
      {json::fromDouble(600.0), "600"},
      {json::fromDouble(-3.0), "-3"},
      {json::fromDouble(0.1), "0.1"},
      {json::fromDouble(9007199254740991.0), "9007199254740991"},  // largest integer below 2^53
      {json::fromFloat(0.7f), "0.7"},
      {json::fromFloat(25.0f), "25"},
      {json::fromFloat(FLT_MAX), "3.4028235e+38"},
      {json::fromDate(Date(-1.5)), "-1.5"},
      {json::fromUUID(*UUID::fromString("f47ac10b-58cc-4372-a567-0e02b2c3d479")),
       "\"F47AC10B-58CC-4372-A567-0E02B2C3D479\""},
  };
  for (const auto& [value, written] : rows) EXPECT_EQ(json::dump(value), written);
  EXPECT_EQ(json::parse(json::dump(json::fromDouble(1e300))).get<double>(), 1e300);  // beyond 2^53
}

// Insertion order on writing is pinned by the preferences record and the round trip below.
TEST(Json, RefusesNonFiniteNumbersAndReplacesInvalidUtf8) {
  EXPECT_THROW(json::fromDouble(nan), EncodingError);
  EXPECT_THROW(json::fromDouble(-inf), EncodingError);
  EXPECT_THROW(json::fromFloat(std::numeric_limits<float>::quiet_NaN()), EncodingError);
  EXPECT_THROW(json::fromDate(Date(inf)), EncodingError);
  EXPECT_EQ(json::dump(Json("a\xFF"
                            "b")),
            "\"a\xEF\xBF\xBD"
            "b\"");
}

// The kind and path of the error a read throws, or none.
template <typename Read>
std::optional<std::pair<DecodingError::Kind, std::string>> failureOf(Read read) {
  return thrown<DecodingError>(
      read, [](const auto& e) { return std::make_pair(e.kind(), e.codingPath()); });
}

TEST(JsonReader, ReadsStrictlyAndErrorsNameTheBadFieldsPath) {
  using Kind = DecodingError::Kind;
  // A NUL byte anywhere (the parser would stop there and drop the rest) and a document over
  // the size limit are as corrupt as bad syntax.
  const std::string oversized = "[" + std::string(json::maximumDocumentSize, ' ') + "]";
  for (const std::string& text :
       {std::string(""), std::string("{\"a\":1} x"), std::string("[1,]"), std::string("1e400"),
        std::string("\"\xFF\""), std::string("nul"), std::string("{\"a\":1}\0garbage", 16),
        std::string("[\"a\0\"]", 6), oversized}) {
    EXPECT_EQ(failureOf([&] { json::parse(text); }),
              std::make_pair(Kind::dataCorrupted, std::string()))
        << text.substr(0, 20);
  }
  EXPECT_NO_THROW(json::parse("[" + std::string(json::maximumDocumentSize - 2, ' ') + "]"));
  const Json document = json::parse(R"({"f":25.0,"half":25.5,"min":-9223372036854775808,
      "over":9223372036854775808,"t":true,"s":"5","n":null,"huge":3e40,"tiny":0.7,
      "list":[{},{"id":"nope"}],"deep":{"days":[1,"2"]}})");
  const JsonReader root(document);
  EXPECT_EQ(root["f"].asInt(), 25);
  EXPECT_EQ(root["min"].asInt(), INT64_MIN);
  EXPECT_EQ(root["tiny"].asFloat(), 0.7f);
  EXPECT_EQ(root["f"].asDate(), Date(25.0));
  const std::tuple<const char*, std::function<void()>, Kind> rows[] = {
      {"half", [&] { root["half"].asInt(); }, Kind::dataCorrupted},
      {"over", [&] { root["over"].asInt(); }, Kind::dataCorrupted},
      {"huge", [&] { root["huge"].asFloat(); }, Kind::dataCorrupted},
      {"t", [&] { root["t"].asDouble(); }, Kind::typeMismatch},
      {"f", [&] { root["f"].asBool(); }, Kind::typeMismatch},
      {"s", [&] { root["s"].asInt(); }, Kind::typeMismatch},
      {"n", [&] { root["n"]; }, Kind::valueNotFound},
      {"f", [&] { root["f"]["x"]; }, Kind::typeMismatch},  // member of a number
      {"list[0].id", [&] { root["list"].elements()[0]["id"]; }, Kind::keyNotFound},
      {"list[1].id", [&] { root["list"].elements()[1]["id"].asUUID(); }, Kind::dataCorrupted},
      {"deep.days[1]", [&] { root["deep"]["days"].elements()[1].asInt(); }, Kind::typeMismatch},
  };
  for (const auto& [path, read, kind] : rows) {
    EXPECT_EQ(failureOf(read), std::make_pair(kind, std::string(path))) << path;
  }
}

TEST(JsonReader, OptionalMembersKeysAndUuidCase) {
  const Json document =
      json::parse(R"({"z":1,"a":null,"m":"f47ac10b-58cc-4372-a567-0e02b2c3d479"})");
  const JsonReader root(document);
  EXPECT_EQ(root.keys(), (std::vector<std::string>{"z", "a", "m"}));
  EXPECT_FALSE(root.optional("a") || root.optional("absent"));
  EXPECT_EQ(root.optional("z").value().codingPath(), "z");
  EXPECT_EQ(root["m"].asUUID(), *UUID::fromString("F47AC10B-58CC-4372-A567-0E02B2C3D479"));
}

TEST(Json, ObjectsKeepStoredOrderAndARepeatedKeyKeepsItsFirstPlaceAndLastValue) {
  // Below and above the size where objects start an index.
  for (const int count : {3, 40}) {
    std::string text = "{";
    for (int i = count; i > 0; --i)
      text += "\"k" + std::to_string(i) + "\":" + std::to_string(i) + ",";
    text += "\"k" + std::to_string(count) + "\":0}";
    const Json document = json::parse(text);
    ASSERT_EQ(document.size(), static_cast<std::size_t>(count)) << count;
    EXPECT_EQ(document.begin().key(), "k" + std::to_string(count));
    EXPECT_EQ(document.begin().value(), 0);
    EXPECT_EQ(std::prev(document.end()).key(), "k1");
    EXPECT_EQ(document.at("k2"), 2);
  }
  EXPECT_EQ(json::dump(json::parse(R"({"a":[{"b":null,"c":[1,2.5,"x"]},true],"d":{}})")),
            R"({"a":[{"b":null,"c":[1,2.5,"x"]},true],"d":{}})");
}

// `depth` arrays inside one another, under one member of an object.
std::string nestedMember(std::size_t depth) {
  return R"({"a":)" + std::string(depth, '[') + std::string(depth, ']') + "}";
}

// Regression: a value nested 100,000 levels deep read as healthy, and copying or writing it
// overflowed the stack.
TEST(Json, ReadsDocumentsNestedToTheDepthBoundAndRefusesDeeperOnes) {
  const std::size_t bound = json::maximumDocumentDepth;
  EXPECT_GE(bound, 200u) << "room for what a newer version nests";
  const std::string atBound = nestedMember(bound - 1);  // the object is the first level
  const Json document = json::parse(atBound);
  EXPECT_EQ(json::dump(Json(document)), atBound) << "copied and written whole";
  for (const std::size_t depth : {bound, std::size_t{100000}}) {
    std::string objects;
    for (std::size_t i = 0; i <= depth; ++i) objects += R"({"a":)";
    objects += "1" + std::string(depth + 1, '}');
    // The last one never ends: the bound is met on the way in.
    for (const std::string& text : {nestedMember(depth), objects, std::string(depth + 1, '[')}) {
      const auto error = thrown<DecodingError>([&] { json::parse(text); },
                                               [](const DecodingError& e) { return e; });
      ASSERT_TRUE(error) << depth;
      EXPECT_EQ(error->kind(), DecodingError::Kind::dataCorrupted) << depth;
      EXPECT_EQ(error->description(),
                "The given data was not valid JSON. The document is nested "
                "more than " +
                    std::to_string(bound) + " levels deep.")
          << depth;
    }
  }
}

// Each element of an array read alone: one that is not JSON is none and the others keep
// their values; a document that is not one closed array is refused whole.
TEST(Json, ReadsAnArraysElementsOneByOne) {
  using Elements = std::vector<std::optional<Json>>;
  const Json one = 1;
  const Json text = R"(a "],[{" \)";
  const Json object = Json::parse(R"({"k":[1,{"v":"}"}]})");
  const std::pair<std::string, Elements> rows[] = {
      {"[]", {}},
      {" \n[ \t] ", {}},
      {"\xEF\xBB\xBF[1]", {one}},  // after a byte order mark, as parse() reads it
      {R"([1,"a \"],[{\" \\",{"k":[1,{"v":"}"}]}])", {one, text, object}},
      {"[1,\"\xC3 \xFF\xFE\",1]", {one, std::nullopt, one}},  // invalid UTF-8
      {R"([1,"\ud800",1])", {one, std::nullopt, one}},        // a lone surrogate
      {std::string("[1,\"a\0b\",1]", 11), {one, std::nullopt, one}},
      {"[1,,1,]", {one, std::nullopt, one, std::nullopt}},
      {"[1 1,{]},1]", {std::nullopt, std::nullopt, one}},  // brackets counted, not matched
      {"[tru,{\"k\":}, 1]", {std::nullopt, std::nullopt, one}},
  };
  for (const auto& [document, expected] : rows) {
    EXPECT_EQ(json::parseElements(document), expected) << document;
  }
  EXPECT_EQ(json::parse("\xEF\xBB\xBF[1]"), Json::parse("[1]"));
  for (const std::string document :
       {"", "{}", "1", "[1", "[1,\"]\"", "[1]]", "[1] x", "x[1]", "[[1]", "[\"a]"}) {
    const auto error = thrown<DecodingError>([&] { json::parseElements(document); },
                                             [](const DecodingError& e) { return e.kind(); });
    EXPECT_EQ(error, DecodingError::Kind::dataCorrupted) << document;
  }
  std::string large = "[" + std::string(json::maximumDocumentSize, ' ') + "]";
  EXPECT_THROW(json::parseElements(large), DecodingError);
  // The array is the first level: an element may nest one level less than a document.
  const std::size_t bound = json::maximumDocumentDepth;
  const std::string atBound = std::string(bound - 1, '[') + std::string(bound - 1, ']');
  const std::string deeper = "[" + atBound + "]";
  const Elements read = json::parseElements("[1," + atBound + "," + deeper + ",1]");
  ASSERT_EQ(read.size(), 4u);
  EXPECT_EQ(read[1], Json::parse(atBound));
  EXPECT_EQ(read[2], std::nullopt);
  EXPECT_EQ(read[3], one);
}

// The scan gives every element before the damage and says whether the array was whole; what
// it gives is the element's own text, the blanks around it left for the parser.
TEST(Json, ScansAnArraysElementsUpToTheDamage) {
  struct Row {
    const char* name;
    std::string document;
    std::vector<std::string> elements;
    bool whole;
  };
  const Row rows[] = {
      {"whole", R"([1, "a],\"b" ,{"k":[2]}] )", {"1", R"( "a],\"b" )", R"({"k":[2]})"}, true},
      {"empty", "[ ]", {}, true},
      {"empty elements", "[,]", {"", ""}, true},
      {"bytes after the array", "[1,{}]x", {"1", "{}"}, false},
      {"a second array after the first", "[1][2]", {"1"}, false},
      {"closing bracket missing", "[1,{}\n", {"1", "{}"}, false},
      {"cut after a comma", "[1,{},", {"1", "{}"}, false},
      {"cut inside an object", R"([1,{"k":1)", {"1"}, false},
      {"cut inside a string", R"([1,"ab)", {"1"}, false},
      {"cut after an escape", R"([1,"a\)", {"1"}, false},
      {"a closed string at the cut", R"([1,"ab")", {"1", R"("ab")"}, false},
      {"a closed array at the cut", "[1,[2]", {"1", "[2]"}, false},
      // A cut can leave a shorter number or word that still reads.
      {"a number at the cut", "[1,12", {"1"}, false},
      {"a word at the cut", "[1,true", {"1"}, false},
      {"only the opening bracket", "[", {}, false},
      // Strings and the text between them change places after the damage, and the last
      // string never closes.
      {"an unterminated string in the middle",
       R"([{"a":1},{"a":"x},{"a":2}])",
       {R"({"a":1})"},
       false},
      // An element the scan gives past the damage is left to the parser to refuse.
      {"quotes out of place", R"([1,"x,"y"z",3])", {"1", R"("x,"y"z")", "3"}, true},
  };
  for (const Row& row : rows) {
    for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
      SCOPED_TRACE(row.name + std::string(mark.empty() ? "" : ", after a byte order mark"));
      std::vector<std::string> elements;
      const json::ArrayScan scan = json::scanElements(
          mark + row.document, [&](const json::ArrayElement& e) { elements.emplace_back(e.text); });
      EXPECT_EQ(elements, row.elements);
      EXPECT_EQ(scan.whole, row.whole);
    }
  }
  for (const std::string document : {"", " ", "{}", "x[1]", "\xEF\xBB[1]"}) {
    int visited = 0;
    EXPECT_THROW(json::scanElements(document, [&](const json::ArrayElement&) { ++visited; }),
                 DecodingError)
        << document;
    EXPECT_EQ(visited, 0) << document;
  }
  // The parse of an element never throws, and counts the array around it in the depth.
  const std::size_t bound = json::maximumDocumentDepth;
  for (const auto& [text, depth, value] :
       {std::tuple<std::string, std::size_t, std::optional<Json>>{"{\"k\":[1]}", 2,
                                                                  Json::parse("{\"k\":[1]}")},
        {"{\"k\":", 1, std::nullopt},
        {"\"\xFF\"", 0, std::nullopt},
        {std::string("1\0", 2), 0, std::nullopt},
        {"[[1]]", bound - 1, Json::parse("[[1]]")},
        {"[[1]]", bound, std::nullopt}}) {
    EXPECT_EQ(json::parseElement({text, depth}), value) << text << " at " << depth;
  }
}

// Where the text that could not be read starts, so that a damaged file's reader can say how
// far it got: the first element not given, or what follows the array.
TEST(Json, TheScanSaysWhereWhatCouldNotBeReadStarts) {
  const std::pair<std::string, std::string> rows[] = {
      // The document, and what of it could not be read.
      {"[1, \"a\" ] \n", ""},
      {"[1,{}]  x]", "x]"},
      {"[1][2]", "[2]"},
      {"[1,{}\n", ""},
      {"[1,\"ab\"", ""},
      {"[1, \n{\"k\":1", "{\"k\":1"},
      {"[1, 12", "12"},
      {"[1,{}, ", ""},
      {"[ ", ""},
      {R"([{"a":1}, {"a":"x},{"a":2}])", R"({"a":"x},{"a":2}])"},
  };
  for (const auto& [document, unread] : rows) {
    for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
      const std::string text = mark + document;
      const json::ArrayScan scan = json::scanElements(text, [](const json::ArrayElement&) {});
      EXPECT_EQ(text.substr(scan.unreadFrom), unread) << text;
    }
  }
}

TEST(Json, KeepsWhatANewerVersionStoredAndDropsOnlyWhatThisOneCleared) {
  struct Row {
    const char* name;
    const char* stored;      // as read
    const char* understood;  // this version's own form of what it read
    const char* written;     // the new record
    const char* expected;
  };
  const Row rows[] = {
      {"a member this version does not know", R"({"a":1,"new":{"x":[1]}})", R"({"a":1})",
       R"({"a":2})", R"({"a":2,"new":{"x":[1]}})"},
      {"a known member cleared stays out", R"({"a":1,"done":5,"new":true})", R"({"a":1,"done":5})",
       R"({"a":1})", R"({"a":1,"new":true})"},
      {"the new value wins over an unknown one of the same name", R"({"a":1,"b":"old"})",
       R"({"a":1})", R"({"a":1,"b":"mine"})", R"({"a":1,"b":"mine"})"},
      {"nested objects", R"({"look":{"hue":1,"glow":0.5}})", R"({"look":{"hue":1}})",
       R"({"look":{"hue":2}})", R"({"look":{"hue":2,"glow":0.5}})"},
      {"elements by id, in any order and letter case",
       R"([{"id":"aa","n":1,"new":"A"},{"id":"BB","n":2,"new":"B"}])",
       R"([{"id":"AA","n":1},{"id":"BB","n":2}])",
       R"([{"id":"CC","n":3},{"id":"BB","n":5},{"id":"AA","n":1}])",
       R"([{"id":"CC","n":3},{"id":"BB","n":5,"new":"B"},{"id":"AA","n":1,"new":"A"}])"},
      {"a removed element takes its members along", R"([{"id":"a","new":1}])", R"([{"id":"a"}])",
       R"([])", R"([])"},
      {"elements without id by place", R"({"items":[{"n":1,"new":1},{"n":2}]})",
       R"({"items":[{"n":1},{"n":2}]})", R"({"items":[{"n":7},{"n":2}]})",
       R"({"items":[{"n":7,"new":1},{"n":2}]})"},
      {"a different shape is left to the writer", R"({"a":{"new":1}})", R"({"a":{}})",
       R"({"a":[1]})", R"({"a":[1]})"},
      {"a key repeated in the stored text is carried once, with its last value",
       R"({"a":1,"new":1,"b":2,"new":[2]})", R"({"a":1,"b":2})", R"({"b":3,"a":1})",
       R"({"b":3,"a":1,"new":[2]})"},
      {"elements without id when one of them was not read: none by place",
       R"([{"n":1,"new":1},{"bad":1},{"n":2,"new":2}])", R"([{"n":1},{"n":2}])",
       R"([{"n":1},{"n":2}])", R"([{"n":1},{"n":2}])"},
      {"elements without id, one added at the end", R"([{"n":1,"new":1},{"n":2,"new":2}])",
       R"([{"n":1},{"n":2}])", R"([{"n":1},{"n":2},{"n":3}])",
       R"([{"n":1,"new":1},{"n":2,"new":2},{"n":3}])"},
  };
  for (const Row& row : rows) {
    Json written = json::parse(row.written);
    json::keepUnknownMembers(json::parse(row.stored), json::parse(row.understood), written);
    EXPECT_EQ(json::dump(written), json::dump(json::parse(row.expected))) << row.name;
  }
}

// Objects of many members, where keys are looked up by hash: the unknown members follow the
// written ones in their stored order, at every depth, and the written object's own choices
// (its order, a cleared member, a value under an unknown name) hold.
TEST(Json, KeepsManyUnknownMembersInTheirStoredOrder) {
  const auto name = [](char kind, int i) { return kind + std::to_string(i); };
  // Known members "k0" to "k29", each followed by an unknown one when `withUnknown`.
  const auto members = [&](bool withUnknown) {
    Json object = Json::object();
    for (int i = 0; i < 30; ++i) {
      object[name('k', i)] = i;
      if (withUnknown) object[name('u', i)] = Json::array({i});
    }
    return object;
  };
  // Unknown members "u39" down to "u0" between known ones; "k7" holds many members itself.
  Json stored = Json::object();
  Json understood = Json::object();
  for (int i = 0; i < 40; ++i) {
    stored[name('u', 39 - i)] = Json{{"x", i}};
    stored[name('k', i)] = i == 7 ? members(true) : Json(i);
    understood[name('k', i)] = i == 7 ? members(false) : Json(i);
  }
  // Written backwards, "k5" cleared, and a value of the writer's own under "u3".
  Json written = Json::object();
  for (int i = 39; i >= 0; --i) {
    if (i == 5) {
      written["u3"] = "mine";
    } else {
      written[name('k', i)] = i == 7 ? members(false) : Json(-1);
    }
  }
  Json expected = written;
  for (int i = 0; i < 30; ++i) expected["k7"][name('u', i)] = Json::array({i});
  for (int i = 0; i < 40; ++i) {
    if (39 - i != 3) expected[name('u', 39 - i)] = Json{{"x", i}};
  }

  json::keepUnknownMembers(stored, understood, written);
  EXPECT_EQ(json::dump(written), json::dump(expected));
}

}  // namespace
}  // namespace vorlane
