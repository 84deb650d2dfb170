#include "foundation/json_syntax.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "foundation/json.h"

namespace vorlane {
namespace {

bool parses(std::string_view text) {
  try {
    json::parse(text);
    return true;
  } catch (const DecodingError&) {
    return false;
  }
}

// Each row as the parser reads it.
TEST(JsonSyntax, TellsWhatTheParserRefuses) {
  const std::string deep =
      std::string(json::maximumDocumentDepth, '[') + std::string(json::maximumDocumentDepth, ']');
  const struct {
    const char* name;
    std::string text;
    bool json;
  } rows[] = {
      {"an object", R"( {"a":[1,-0.5e+3,"x",true,false,null,{}],"b":{"c":[]}} )", true},
      {"scalars", R"("a\"\\\/\b\f\n\r\t\u00e9")", true},
      {"after a byte order mark", "\xEF\xBB\xBF[1]", true},
      {"UTF-8 of two to four bytes", "\"\xC3\xA9 \xE2\x80\x93 \xF0\x9F\x90\x92 \xF4\x8F\xBF\xBF\"",
       true},
      {"nested to the bound", deep, true},
      {"nested past it", "[" + deep + "]", false},
      {"empty", "", false},
      {"blank", " \n", false},
      {"two values", "1 2", false},
      {"a member without a value", R"({"a":})", false},
      {"a key that is no string", "{a:1}", false},
      {"a comma too many", "[1,]", false},
      {"brackets that do not match", "[1}", false},
      {"unclosed", R"({"a":[1])", false},
      {"an unterminated string", R"(["a])", false},
      {"a leading zero", "01", false},
      {"a point without digits", "1.", false},
      {"an exponent without digits", "1e+", false},
      {"a plus sign", "+1", false},
      {"a word cut short", "tru", false},
      {"a word in capitals", "True", false},
      {"an unknown escape", R"("\x")", false},
      {"a short \\u escape", R"("\u12G4")", false},
      {"a control character", "\"a\tb\"", false},
      {"a NUL byte", std::string("\"a\0\"", 4), false},
      {"a stray continuation byte", "\"\x80\"", false},
      {"an overlong form", "\"\xC0\xAF\"", false},
      {"a surrogate in UTF-8", "\"\xED\xA0\x80\"", false},
      {"past U+10FFFF", "\"\xF4\x90\x80\x80\"", false},
      {"a character cut short", "\"\xE2\x80\"", false},
      {"a byte order mark cut short", "\xEF\xBB[1]", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(json::mayBeJson(row.text), row.json) << row.name;
    EXPECT_EQ(parses(row.text), row.json) << row.name;
  }
}

// Whatever the parser reads, this never refuses: damaged copies of stored values, compared.
TEST(JsonSyntax, NeverRefusesWhatTheParserReads) {
  const std::string seeds[] = {
      R"({"id":"6F1C3C41-2C51-4A09-9F1B-6B7A2C1D5E01","phrase":"tea \u00e9 \ud83d\udc12",)"
      R"("trigger":{"recurring":{"_0":{"days":{"specific":{"_0":[1,7]}},"hour":9,"minute":0}}},)"
      R"("createdAt":-12.5e-3})",
      "[true,false,null,0,-1,2.5E+10,\"\xC3\xA9\xE2\x80\x93\xF0\x9F\x90\x92\",{},[[]]]",
  };
  const std::string bytes = "{}[]\":,.-+0123456789eEtrufalsn \\/u\t\n\xC3\xA9\x80\xED\xF4";
  std::mt19937 random(64);
  int refused = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string text = seeds[round % 2];
    for (int change = 0; change <= round % 3; ++change) {
      const std::size_t at = random() % text.size();
      const char byte = bytes[random() % bytes.size()];
      switch (random() % 3) {
        case 0:
          text[at] = byte;
          break;
        case 1:
          text.insert(at, 1, byte);
          break;
        default:
          text.erase(at, 1);
      }
    }
    if (!json::mayBeJson(text)) {
      ++refused;
      EXPECT_FALSE(parses(text)) << text;
    }
  }
  // The damage is refused here most of the time, which is what makes this test worth having.
  EXPECT_GT(refused, 15000);
}

}  // namespace
}  // namespace vorlane
