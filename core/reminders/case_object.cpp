#include "core/reminders/case_object.h"

#include <optional>
#include <string>

namespace vorlane {

CaseObject readCaseObject(const JsonReader& reader,
                          std::initializer_list<std::string_view> caseNames) {
  std::optional<std::size_t> found;
  std::string foundKey;
  int count = 0;
  for (const std::string& key : reader.keys()) {
    std::size_t index = 0;
    for (std::string_view name : caseNames) {
      if (key == name) {
        ++count;
        found = index;
        foundKey = key;
        break;
      }
      ++index;
    }
  }
  if (count != 1) {
    reader.fail(DecodingError::Kind::typeMismatch, "Invalid number of keys found, expected one.");
  }
  JsonReader payload = reader[foundKey];
  if (!payload.isObject()) {
    payload.fail(DecodingError::Kind::typeMismatch, "Expected to decode a keyed container.");
  }
  return CaseObject{*found, payload};
}

Json caseObject(std::string_view name) {
  Json object = Json::object();
  object[std::string(name)] = Json::object();
  return object;
}

Json caseObject(std::string_view name, Json payload) {
  Json inner = Json::object();
  inner["_0"] = std::move(payload);
  Json object = Json::object();
  object[std::string(name)] = std::move(inner);
  return object;
}

}  // namespace vorlane
