#include "app/persistence/local_json_document.h"

#include <cmath>
#include <system_error>

#include <gtest/gtest.h>

#include "app/persistence/file_user_defaults.h"
#include "app/persistence/in_memory_user_defaults.h"
#include "tests/support/temp_folder.h"

namespace vorlane {

template <>
struct JsonCoding<double> {
  static Json encode(double value) { return json::fromDouble(value); }
  static double decode(const Json& json) { return JsonReader(json).asDouble(); }
};

namespace {
using Document = LocalJSONDocument<std::vector<double>>;
using Failure = LocalJSONDocumentFailure;

const std::string unreadableText =
    "Saved data could not be read and was preserved. Clear this record explicitly to start over.";

bool nonNegative(const std::vector<double>& values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return !(v < 0); });
}

// The refusal a save throws, or none when it succeeds.
std::optional<Failure> failureOf(Document& doc, std::vector<double> value) {
  try {
    doc.save(std::move(value));
  } catch (const LocalJSONDocumentError& error) {
    return error.failure();
  }
  return std::nullopt;
}

TEST(LocalJSONDocument, HealthyRoundTripInTheStoredForm) {
  InMemoryUserDefaults defaults;
  Document fresh(&defaults, "values", {}, nonNegative);
  EXPECT_TRUE(fresh.value().empty());
  EXPECT_FALSE(fresh.errorMessage());
  EXPECT_EQ(defaults.writeCount("values"), 0) << "loading never writes";

  fresh.save({600, 0.5});
  EXPECT_EQ(fresh.value(), (std::vector<double>{600, 0.5}));
  EXPECT_EQ(defaults.rawBytes("values"), "[600,0.5]");
  EXPECT_EQ(Document(&defaults, "values", {}, nonNegative).value(), fresh.value());
}

TEST(LocalJSONDocument, UnreadableStoredDataIsKeptAndBlocksSaves) {
  const std::pair<const char*, std::optional<std::string>> rows[] = {
      {"empty", ""},           {"truncated", "[1,2"},  {"not JSON", "hello"},
      {"wrong shape", "{}"},   {"one bad element", "[1,\"2\"]"},
      {"rejected by validate", "[1,-2]"},              {"beyond double", "[1e400]"},
      {"read failure", std::nullopt},
  };
  for (const auto& [name, bytes] : rows) {
    InMemoryUserDefaults defaults;
    defaults.setData("values", bytes.value_or("[1]"));
    if (!bytes) defaults.makeUnreadable("values", "I/O error");
    const auto before = defaults.rawBytes("values");

    Document doc(&defaults, "values", {}, nonNegative);
    EXPECT_TRUE(doc.value().empty()) << name;
    EXPECT_EQ(doc.errorMessage(), unreadableText) << name;
    // Blocked comes before validation: even an invalid value reports unreadable.
    EXPECT_EQ(failureOf(doc, {-1}), Failure::unreadable) << name;
    EXPECT_EQ(failureOf(doc, {1}), Failure::unreadable) << name;
    EXPECT_EQ(defaults.rawBytes("values"), before) << name;
    EXPECT_EQ(defaults.writeCount("values"), 1) << name;
  }
}

TEST(LocalJSONDocument, ClearUnblocksAndRemovesTheStoredBytes) {
  InMemoryUserDefaults defaults;
  defaults.setData("values", "garbage");
  Document doc(&defaults, "values", {42}, nonNegative);
  ASSERT_TRUE(doc.errorMessage());
  EXPECT_EQ(doc.value(), doc.empty());

  doc.clear();
  EXPECT_FALSE(doc.errorMessage());
  EXPECT_EQ(defaults.rawBytes("values"), std::nullopt);
  doc.save({7});
  EXPECT_EQ(Document(&defaults, "values", {}, nonNegative).value(), std::vector<double>{7});
}

TEST(LocalJSONDocument, RefusedOrFailedSavesChangeNothing) {
  InMemoryUserDefaults defaults;
  Document doc(&defaults, "values", {}, nonNegative);
  doc.save({1});
  const auto stored = defaults.rawBytes("values");

  try {
    doc.save({-1});
    ADD_FAILURE() << "an invalid value was saved";
  } catch (const LocalJSONDocumentError& error) {
    EXPECT_EQ(error.failure(), Failure::invalid);
    EXPECT_EQ(error.errorDescription(), "The change contains invalid data. Nothing was saved.");
  }
  EXPECT_THROW(doc.save({std::nan("")}), EncodingError);
  // Regression: a failed write was assumed to succeed and changed the value.
  defaults.setFailing(true);
  EXPECT_THROW(doc.save({2}), std::system_error);
  defaults.setFailing(false);

  EXPECT_EQ(doc.value(), std::vector<double>{1});
  EXPECT_EQ(defaults.rawBytes("values"), stored);
  EXPECT_FALSE(doc.errorMessage()) << "save never blocks the document";
}

TEST(LocalJSONDocument, WithoutDefaultsEverythingStaysInMemory) {
  LocalJSONDocument<std::optional<double>> doc(nullptr, "one", std::nullopt);
  doc.save(-5.0);  // no rule given: every value is accepted
  EXPECT_EQ(doc.value(), -5.0);
  doc.clear();
  EXPECT_FALSE(doc.value().has_value());
}

TEST(LocalJSONDocument, CorruptFileOnDiskSurvivesSavesUntilCleared) {
  testing::TempFolder temp;
  FileUserDefaults defaults(temp.path());
  const auto file = defaults.path("values");
  testing::writeFile(file, "[1,2");

  Document doc(&defaults, "values", {}, nonNegative);
  ASSERT_EQ(doc.errorMessage(), unreadableText);
  EXPECT_THROW(doc.save({3}), LocalJSONDocumentError);
  EXPECT_EQ(testing::readFile(file), "[1,2");

  doc.clear();
  EXPECT_FALSE(std::filesystem::exists(file));
  doc.save({3});
  EXPECT_EQ(Document(&defaults, "values", {}, nonNegative).value(), std::vector<double>{3});
}

}  // namespace
}  // namespace vorlane
