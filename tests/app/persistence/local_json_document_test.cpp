#include "app/persistence/local_json_document.h"

#include <cmath>
#include <limits>
#include <system_error>

#include <gtest/gtest.h>

#include "app/persistence/file_user_defaults.h"
#include "app/persistence/in_memory_user_defaults.h"
#include "tests/support/temp_folder.h"

namespace vorlane {

// A small record standing in for the stores' own: one text, one optional date, one number.
struct Note {
  std::string text;
  std::optional<Date> due;
  double weight = 1;
  bool operator==(const Note&) const = default;
};

template <>
struct JsonCoding<Note> {
  static Json encode(const Note& note) {
    Json json = Json::object();
    json["text"] = note.text;
    if (note.due) json["due"] = json::fromDate(*note.due);
    json["weight"] = json::fromDouble(note.weight);
    return json;
  }
  static Note decode(const Json& json) {
    JsonReader reader(json);
    Note note{reader["text"].asString(), std::nullopt, reader["weight"].asDouble()};
    if (auto due = reader.optional("due")) note.due = due->asDate();
    return note;
  }
};

namespace {
using Document = LocalJSONDocument<std::vector<Note>>;
using Failure = LocalJSONDocumentFailure;

const std::string unreadableText =
    "Saved data could not be read and was preserved. Clear this record explicitly to start over.";

bool noEmptyText(const std::vector<Note>& notes) {
  for (const Note& n : notes) {
    if (n.text.empty()) return false;
  }
  return true;
}

// The failure a save throws, or none when it succeeds.
template <class F>
std::optional<Failure> failureOf(F&& save) {
  try {
    save();
  } catch (const LocalJSONDocumentError& error) {
    return error.failure();
  }
  return std::nullopt;
}

TEST(LocalJSONDocument, FailureTextsAreTheUserFacingSentences) {
  EXPECT_EQ(errorDescription(Failure::unreadable), unreadableText);
  EXPECT_EQ(errorDescription(Failure::invalid), "The change contains invalid data. Nothing was saved.");
  EXPECT_EQ(std::string(LocalJSONDocumentError(Failure::invalid).what()),
            "The change contains invalid data. Nothing was saved.");
}

TEST(LocalJSONDocument, HealthyRoundTripInTheStoredForm) {
  InMemoryUserDefaults defaults;
  Document fresh(&defaults, "notes", {}, noEmptyText);
  EXPECT_TRUE(fresh.value().empty());
  EXPECT_FALSE(fresh.errorMessage());
  EXPECT_EQ(defaults.writeCount("notes"), 0) << "loading never writes";

  const std::vector<Note> notes{{"tea", Date(0), 2}, {"walk", std::nullopt, 0.5}};
  fresh.save(notes);
  EXPECT_EQ(fresh.value(), notes);
  // Compact, absent optional left out, a date as seconds since 2001.
  EXPECT_EQ(defaults.rawBytes("notes"),
            R"([{"text":"tea","due":0,"weight":2},{"text":"walk","weight":0.5}])");

  Document reloaded(&defaults, "notes", {}, noEmptyText);
  EXPECT_EQ(reloaded.value(), notes);
  EXPECT_FALSE(reloaded.errorMessage());
}

TEST(LocalJSONDocument, UnreadableStoredDataIsKeptAndBlocksSaves) {
  const struct {
    const char* name;
    std::optional<std::string> bytes;  // none: the read itself fails
  } rows[] = {
      {"empty", ""},
      {"truncated", R"([{"text":"tea","wei)"},
      {"not JSON", "hello"},
      {"wrong shape", R"({"text":"tea","weight":1})"},
      {"one bad element", R"([{"text":"tea","weight":1},{"text":7,"weight":1}])"},
      {"rejected by validate", R"([{"text":"","weight":1}])"},
      {"number beyond double", R"([{"text":"a","weight":1e400}])"},
      {"read failure", std::nullopt},
  };
  for (const auto& row : rows) {
    InMemoryUserDefaults defaults;
    defaults.setData("notes", row.bytes.value_or("[]"));
    if (!row.bytes) defaults.makeUnreadable("notes", "I/O error");
    const auto before = defaults.rawBytes("notes");

    Document doc(&defaults, "notes", {}, noEmptyText);
    EXPECT_TRUE(doc.value().empty()) << row.name;
    EXPECT_EQ(doc.errorMessage(), unreadableText) << row.name;
    // Blocked comes before validation: even an invalid value reports unreadable.
    EXPECT_EQ(failureOf([&] { doc.save({{"", std::nullopt, 1}}); }), Failure::unreadable) << row.name;
    EXPECT_EQ(failureOf([&] { doc.save({{"ok", std::nullopt, 1}}); }), Failure::unreadable) << row.name;
    EXPECT_EQ(defaults.rawBytes("notes"), before) << row.name;
    EXPECT_EQ(defaults.writeCount("notes"), 1) << row.name;
    EXPECT_TRUE(doc.value().empty()) << row.name;
  }
}

TEST(LocalJSONDocument, ClearUnblocksAndRemovesTheStoredBytes) {
  InMemoryUserDefaults defaults;
  defaults.setData("notes", "garbage");
  Document doc(&defaults, "notes", {{"empty marker", std::nullopt, 1}}, noEmptyText);
  ASSERT_TRUE(doc.errorMessage());

  doc.clear();
  EXPECT_FALSE(doc.errorMessage());
  EXPECT_EQ(doc.value(), doc.empty());
  EXPECT_EQ(defaults.rawBytes("notes"), std::nullopt);

  doc.save({{"fresh", std::nullopt, 1}});
  EXPECT_EQ(doc.value().at(0).text, "fresh");
  EXPECT_TRUE(defaults.data("notes").hasValue());
}

TEST(LocalJSONDocument, RefusedOrFailedSavesChangeNothing) {
  const std::vector<Note> kept{{"kept", std::nullopt, 1}};
  InMemoryUserDefaults defaults;
  Document doc(&defaults, "notes", {}, noEmptyText);
  doc.save(kept);
  const auto stored = defaults.rawBytes("notes");

  EXPECT_EQ(failureOf([&] { doc.save({{"", std::nullopt, 1}}); }), Failure::invalid);
  EXPECT_THROW(doc.save({{"nan", std::nullopt, std::nan("")}}), EncodingError);
  // Regression: a failed write must not be reported as success nor change the value.
  defaults.setFailing(true);
  EXPECT_THROW(doc.save({{"lost?", std::nullopt, 1}}), std::system_error);
  defaults.setFailing(false);

  EXPECT_EQ(doc.value(), kept);
  EXPECT_EQ(defaults.rawBytes("notes"), stored);
  EXPECT_FALSE(doc.errorMessage()) << "save never blocks the document";
}

TEST(LocalJSONDocument, WithoutDefaultsEverythingStaysInMemory) {
  Document doc(nullptr, "notes", {}, noEmptyText);
  doc.save({{"a", std::nullopt, 1}});
  EXPECT_EQ(doc.value().size(), 1u);
  EXPECT_EQ(failureOf([&] { doc.save({{"", std::nullopt, 1}}); }), Failure::invalid);
  doc.clear();
  EXPECT_TRUE(doc.value().empty());

  // No rule given: every value is accepted.
  LocalJSONDocument<std::optional<Note>> optional(nullptr, "one", std::nullopt);
  optional.save(Note{"", std::nullopt, 1});
  EXPECT_TRUE(optional.value().has_value());
}

TEST(LocalJSONDocument, CorruptFileOnDiskSurvivesSavesUntilCleared) {
  testing::TempFolder temp;
  FileUserDefaults defaults(temp.path());
  const auto file = defaults.path("notes");
  testing::writeFile(file, "[{\"text\":\"tea\",\"wei");

  Document doc(&defaults, "notes", {}, noEmptyText);
  ASSERT_EQ(doc.errorMessage(), unreadableText);
  EXPECT_THROW(doc.save({{"over it", std::nullopt, 1}}), LocalJSONDocumentError);
  EXPECT_EQ(testing::readFile(file), "[{\"text\":\"tea\",\"wei");

  doc.clear();
  EXPECT_FALSE(std::filesystem::exists(file));
  doc.save({{"fresh", std::nullopt, 1}});
  EXPECT_EQ(Document(&defaults, "notes", {}, noEmptyText).value(), doc.value());
}

}  // namespace
}  // namespace vorlane
