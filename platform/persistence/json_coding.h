#pragma once

#include <optional>
#include <vector>

#include "foundation/json.h"

namespace vorlane {

// How a stored record is written and read. The stored form of every record is coded by the
// record's own type in the core, next to its fields:
//   Json toJson() const;                   // throws EncodingError for a value with no JSON form
//   static T fromJson(const JsonReader&);  // throws DecodingError (or any std::exception)
// The store only turns that into bytes and back.
template <class T>
struct JsonCoding {
  static Json encode(const T& value) { return value.toJson(); }
  static T decode(const Json& json) { return T::fromJson(JsonReader(json)); }
};

// A list is a JSON array; one bad element fails the whole list.
template <class E>
struct JsonCoding<std::vector<E>> {
  static Json encode(const std::vector<E>& values) {
    Json array = Json::array();
    for (const E& value : values) array.push_back(JsonCoding<E>::encode(value));
    return array;
  }
  static std::vector<E> decode(const Json& json) {
    JsonReader reader(json);
    std::vector<E> values;
    for (const JsonReader& element : reader.elements()) {
      values.push_back(JsonCoding<E>::decode(element.value()));
    }
    return values;
  }
};

// An absent value is JSON null.
template <class E>
struct JsonCoding<std::optional<E>> {
  static Json encode(const std::optional<E>& value) {
    return value ? JsonCoding<E>::encode(*value) : Json(nullptr);
  }
  static std::optional<E> decode(const Json& json) {
    if (json.is_null()) return std::nullopt;
    return JsonCoding<E>::decode(json);
  }
};

}  // namespace vorlane
