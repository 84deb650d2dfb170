#pragma once

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/date.h"
#include "foundation/uuid.h"

namespace vorlane {

// The stored JSON form: keys in the order written, compact output.
using Json = nlohmann::ordered_json;

// A value that has no JSON form (NaN or an infinity).
class EncodingError : public std::runtime_error {
 public:
  explicit EncodingError(const std::string& description) : std::runtime_error(description) {}
};

// Stored data that does not decode. `codingPath` names the bad field ("trigger.recurring.hour",
// "[2].id"); `description` says what is wrong.
class DecodingError : public std::runtime_error {
 public:
  enum class Kind { typeMismatch, keyNotFound, valueNotFound, dataCorrupted };

  DecodingError(Kind kind, std::string codingPath, std::string description);

  Kind kind() const { return kind_; }
  const std::string& codingPath() const { return codingPath_; }
  const std::string& description() const { return description_; }

 private:
  Kind kind_;
  std::string codingPath_;
  std::string description_;
};

namespace json {

// Writers. A finite integral double below 2^53 in magnitude is written as an integer (600,
// not 600.0); a float from its shortest float form (0.7); NaN and infinities throw
// EncodingError, never write null.
Json fromDouble(double value);
Json fromFloat(float value);
Json fromDate(Date date);
Json fromUUID(const UUID& id);

// Stored documents larger than this are refused unread. Well above anything written: the
// largest records (tens of thousands of reminders) stay far below it.
inline constexpr std::size_t maximumDocumentSize = std::size_t{16} << 20;
// Stored documents nested deeper than this (objects and arrays inside one another) are
// refused while they are read: copying, comparing and writing a value recurse once per
// level, and a deep enough value would overflow the stack in any of them. Far deeper than
// anything written (a reminder is five levels deep), so that members a newer version adds
// are kept.
inline constexpr std::size_t maximumDocumentDepth = 256;

// Compact text of a value (invalid UTF-8 in strings is replaced, never thrown on).
std::string dump(const Json& value);
// Parses a whole document in time linear in its size; a key repeated in one object keeps
// its first place and its last value. Throws DecodingError (dataCorrupted) when the text is
// not JSON, holds a NUL byte anywhere, is larger than maximumDocumentSize or nested deeper
// than maximumDocumentDepth; the parse itself never recurses.
Json parse(std::string_view text);
// One element of an array, as scanElements finds it: its text, and how deep its objects and
// arrays nest (the element itself counted, the array around it not).
struct ArrayElement {
  std::string_view text;
  std::size_t depth;
};

// What scanElements found of the array.
struct ArrayScan {
  // Whether the text is one array whose brackets close with nothing but white space after it.
  bool whole = false;
  // Where the text that could not be read starts, past white space: the first element not
  // visited, or what follows the closing bracket; the text's size when nothing is left (the
  // array whole, or the text ending after an element that was visited).
  std::size_t unreadFrom = 0;
};

// Calls `visit` with each element of the array the text holds, in order, without reading
// what the elements hold: a scan that knows strings and their escapes and counts brackets,
// whatever bytes the strings hold, so that a damaged element leaves the others to be read.
// Where the text is not one whole array, every element before the damage has been visited:
// all of them when bytes follow the closing bracket; where the text ends inside the array,
// those it holds whole (the last one only when its own bracket or quote closes it, since a cut
// can leave a number or a word looking whole). Throws DecodingError (dataCorrupted), visiting
// none, when the text is larger than maximumDocumentSize or does not start an array (after
// white space and a byte order mark).
ArrayScan scanElements(std::string_view text,
                       const std::function<void(const ArrayElement&)>& visit);
// The element's value, read as parse() reads a document; none, without throwing, when it is
// not JSON or the document would pass maximumDocumentDepth with the array around it.
std::optional<Json> parseElement(const ArrayElement& element);
// The elements of a document that is an array, each read by parseElement, so that an element
// that is not JSON (invalid UTF-8, a lone surrogate, a stray byte) is none and leaves the
// others readable. Throws DecodingError (dataCorrupted) when the document is larger than
// maximumDocumentSize or is not one array whose brackets close, with nothing but white space
// around it.
std::vector<std::optional<Json>> parseElements(std::string_view text);

// Appends a member to an object without looking for the key first: the caller guarantees
// that `key` is not there yet (keys taken from a map, for instance).
void appendMember(Json& object, std::string key, Json value);

// Puts back into `written` the members a newer version stored that this one does not know,
// unchanged. `stored` is the document as read and `understood` what this version writes for
// the value it read from it: a member of `stored` missing from `understood` is unknown here,
// while a known member that `written` leaves out was cleared and stays out. Objects match by
// key at every depth; array elements by their "id" member (in any letter case), else by
// position when nothing was added or removed. The unknown members of an object follow the
// written ones, in their stored order. Takes time linear in the size of the three, however
// many members an object holds.
void keepUnknownMembers(const Json& stored, const Json& understood, Json& written);

}  // namespace json

// A typed view of one value in a document being decoded, with the coding path that led to
// it. Every read that fails throws DecodingError naming that path.
class JsonReader {
 public:
  explicit JsonReader(const Json& value, std::string codingPath = "");

  const Json& value() const { return *value_; }
  const std::string& codingPath() const { return codingPath_; }

  bool isNull() const { return value_->is_null(); }
  bool isObject() const { return value_->is_object(); }
  bool isString() const { return value_->is_string(); }

  // The member; keyNotFound when absent, valueNotFound when null, typeMismatch when this
  // is not an object.
  JsonReader operator[](std::string_view key) const;
  // The member, or none when it is absent or null.
  std::optional<JsonReader> optional(std::string_view key) const;
  bool contains(std::string_view key) const;
  // The object's keys in stored order (typeMismatch when not an object).
  std::vector<std::string> keys() const;
  // The object's members in stored order (typeMismatch when not an object). Reading every
  // member through this stays linear where a lookup per key would not.
  std::vector<std::pair<std::string, JsonReader>> members() const;
  // The array's elements (typeMismatch when not an array).
  std::vector<JsonReader> elements() const;

  // A double accepts any number; a float only |d| <= FLT_MAX; an integer a number that is
  // exactly integral and in range. A Boolean is never a number.
  double asDouble() const;
  float asFloat() const;
  std::int64_t asInt() const;
  bool asBool() const;
  std::string asString() const;
  Date asDate() const;
  // The 36-character form in either case; dataCorrupted otherwise.
  UUID asUUID() const;

  [[noreturn]] void fail(DecodingError::Kind kind, const std::string& description) const;

 private:
  const Json* value_;
  std::string codingPath_;
};

}  // namespace vorlane
