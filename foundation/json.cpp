#include "foundation/json.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <unordered_map>
#include <utility>
#include <vector>

#include "foundation/json_syntax.h"

namespace vorlane {
namespace {

constexpr double twoTo53 = 9007199254740992.0;
constexpr double twoTo63 = 9223372036854775808.0;

std::string describe(const Json& value) {
  switch (value.type()) {
    case Json::value_t::null:
      return "null";
    case Json::value_t::boolean:
      return "bool";
    case Json::value_t::string:
      return "a string";
    case Json::value_t::object:
      return "a dictionary";
    case Json::value_t::array:
      return "an array";
    case Json::value_t::binary:
      return "data";
    case Json::value_t::discarded:
      return "nothing";
    default:
      return "a number";
  }
}

std::string numberText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string notJson(const std::string& reason) {
  return "The given data was not valid JSON. " + reason;
}

using Members = Json::object_t::Container;

Members& membersOf(Json& object) { return object.get_ref<Json::object_t&>(); }

// Builds the document from parser events. The ordered object type finds a key by a linear
// search, so inserting through it makes an object quadratic in its number of keys; objects
// here append directly and look keys up in a hash index once they grow.
class DocumentBuilder {
 public:
  Json result() { return std::move(root_); }
  const std::string& error() const { return error_; }

  bool null() { return add(Json(nullptr)); }
  bool boolean(bool value) { return add(Json(value)); }
  bool number_integer(Json::number_integer_t value) { return add(Json(value)); }
  bool number_unsigned(Json::number_unsigned_t value) { return add(Json(value)); }
  bool number_float(Json::number_float_t value, const std::string&) { return add(Json(value)); }
  bool string(std::string& value) { return add(Json(std::move(value))); }
  bool binary(Json::binary_t&) { return false; }  // never produced from text
  bool start_object(std::size_t) { return open(Json::object()); }
  bool key(std::string& key) {
    open_.back().key = std::move(key);
    return true;
  }
  bool end_object() { return close(); }
  bool start_array(std::size_t) { return open(Json::array()); }
  bool end_array() { return close(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) {
    error_ = error.what();
    return false;
  }

 private:
  // Below this many members a linear search is cheaper than keeping an index.
  static constexpr std::size_t indexedFrom = 16;

  struct Container {
    Json value;
    std::string key = {};
    std::unordered_map<std::string, std::size_t> index = {};
  };

  bool open(Json container) {
    if (open_.size() >= json::maximumDocumentDepth) {
      error_ = "The document is nested more than " + std::to_string(json::maximumDocumentDepth) +
               " levels deep.";
      return false;
    }
    open_.push_back(Container{std::move(container)});
    return true;
  }

  bool close() {
    Json done = std::move(open_.back().value);
    open_.pop_back();
    return add(std::move(done));
  }

  bool add(Json value) {
    if (open_.empty()) {
      root_ = std::move(value);
      return true;
    }
    Container& parent = open_.back();
    if (parent.value.is_array()) {
      parent.value.get_ref<Json::array_t&>().push_back(std::move(value));
      return true;
    }
    Members& members = membersOf(parent.value);
    if (const auto at = find(parent, members)) {
      members[*at].second = std::move(value);  // a repeated key: the last value wins
      return true;
    }
    if (!parent.index.empty() || members.size() + 1 == indexedFrom) {
      if (parent.index.empty()) {
        for (std::size_t i = 0; i < members.size(); ++i) parent.index.emplace(members[i].first, i);
      }
      parent.index.emplace(parent.key, members.size());
    }
    members.emplace_back(std::move(parent.key), std::move(value));
    return true;
  }

  static std::optional<std::size_t> find(const Container& parent, const Members& members) {
    if (!parent.index.empty()) {
      const auto found = parent.index.find(parent.key);
      if (found == parent.index.end()) return std::nullopt;
      return found->second;
    }
    for (std::size_t i = 0; i < members.size(); ++i) {
      if (members[i].first == parent.key) return i;
    }
    return std::nullopt;
  }

  std::vector<Container> open_;
  Json root_;
  std::string error_;
};

bool isJsonSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool isBlank(std::string_view text) {
  for (const char c : text) {
    if (!isJsonSpace(c)) return false;
  }
  return true;
}

// The document, or none with `error` saying why; never throws for the text.
std::optional<Json> read(std::string_view text, std::string& error) {
  if (text.size() > json::maximumDocumentSize) {
    error = "The document is too large.";
    return std::nullopt;
  }
  // The parser takes a NUL byte for the end of the text and would ignore what follows.
  if (text.find('\0') != std::string_view::npos) {
    error = "The document holds a NUL byte.";
    return std::nullopt;
  }
  DocumentBuilder builder;
  try {
    if (!Json::sax_parse(text.begin(), text.end(), &builder)) {
      error = builder.error();
      return std::nullopt;
    }
  } catch (const nlohmann::json::exception& failure) {
    error = failure.what();
    return std::nullopt;
  }
  return builder.result();
}

std::string childPath(const std::string& parent, std::string_view key) {
  if (parent.empty()) return std::string(key);
  return parent + "." + std::string(key);
}

}  // namespace

DecodingError::DecodingError(Kind kind, std::string codingPath, std::string description)
    : std::runtime_error(codingPath.empty() ? description : codingPath + ": " + description),
      kind_(kind),
      codingPath_(std::move(codingPath)),
      description_(std::move(description)) {}

namespace json {

Json fromDouble(double value) {
  if (!std::isfinite(value)) {
    throw EncodingError("Unable to encode " + numberText(value) + " directly in JSON.");
  }
  if (std::fabs(value) < twoTo53 && std::trunc(value) == value) {
    return Json(static_cast<std::int64_t>(value));
  }
  return Json(value);
}

Json fromFloat(float value) {
  if (!std::isfinite(value)) {
    throw EncodingError("Unable to encode " + numberText(value) + " directly in JSON.");
  }
  // The float's shortest text read back as a double, so that 0.7f is written 0.7.
  char buffer[32];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
  double widened = value;
  std::from_chars(buffer, written.ptr, widened);
  return fromDouble(widened);
}

Json fromDate(Date date) { return fromDouble(date.timeIntervalSinceReferenceDate()); }

Json fromUUID(const UUID& id) { return Json(id.toString()); }

std::string dump(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json parse(std::string_view text) {
  std::string error;
  std::optional<Json> document = read(text, error);
  if (!document) throw DecodingError(DecodingError::Kind::dataCorrupted, "", notJson(error));
  return std::move(*document);
}

ArrayScan scanElements(std::string_view text,
                       const std::function<void(const ArrayElement&)>& visit) {
  const auto refused = [](const char* reason) {
    return DecodingError(DecodingError::Kind::dataCorrupted, "", notJson(reason));
  };
  if (text.size() > maximumDocumentSize) throw refused("The document is too large.");
  // Where the text past `from` holds more than white space; its size when it does not.
  const auto unreadFrom = [&](std::size_t from) {
    while (from < text.size() && isJsonSpace(text[from])) ++from;
    return from;
  };
  // A byte order mark, which the parser also passes over.
  std::size_t at = unreadFrom(text.starts_with("\xEF\xBB\xBF") ? 3 : 0);
  if (at == text.size() || text[at] != '[') throw refused("The document is not one array.");
  std::size_t start = ++at;
  std::size_t depth = 0;
  std::size_t deepest = 0;
  bool visited = false;
  bool inString = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (inString) {
      if (c == '\\') {
        ++at;
      } else if (c == '"') {
        inString = false;
      }
      continue;
    }
    if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    } else if ((c == ',' || c == ']') && depth == 0) {
      const std::string_view element = text.substr(start, at - start);
      // "[]" has no element; "[,]" two empty ones, which the parser refuses.
      if (c == ',' || visited || !isBlank(element)) {
        visit(ArrayElement{element, deepest});
        visited = true;
      }
      if (c == ']') {
        const std::size_t after = unreadFrom(at + 1);
        return ArrayScan{after == text.size(), after};
      }
      start = at + 1;
      deepest = 0;
    }
  }
  if (!inString && depth == 0) {
    std::string_view last = text.substr(start);
    while (!last.empty() && isJsonSpace(last.back())) last.remove_suffix(1);
    if (!last.empty() && (last.back() == '}' || last.back() == ']' || last.back() == '"')) {
      visit(ArrayElement{last, deepest});
      return ArrayScan{false, text.size()};
    }
  }
  return ArrayScan{false, unreadFrom(start)};
}

std::optional<Json> parseElement(const ArrayElement& element) {
  // The array around the element is one level more.
  if (element.depth >= maximumDocumentDepth) return std::nullopt;
  // The parser takes far longer to refuse a value than to read one.
  if (!mayBeJson(element.text)) return std::nullopt;
  std::string error;
  return read(element.text, error);
}

std::vector<std::optional<Json>> parseElements(std::string_view text) {
  std::vector<std::optional<Json>> elements;
  const ArrayScan scan = scanElements(
      text, [&](const ArrayElement& element) { elements.push_back(parseElement(element)); });
  if (!scan.whole) {
    throw DecodingError(DecodingError::Kind::dataCorrupted, "",
                        notJson("The document is not one array."));
  }
  return elements;
}

void appendMember(Json& object, std::string key, Json value) {
  membersOf(object).emplace_back(std::move(key), std::move(value));
}

namespace {

// The element's "id" in lower case, or none.
std::optional<std::string> elementID(const Json& element) {
  if (!element.is_object()) return std::nullopt;
  const auto id = element.find("id");
  if (id == element.end() || !id->is_string()) return std::nullopt;
  std::string text = id->get<std::string>();
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// Where each key of an object is among its members. A lookup by the object's own find is a
// linear search, which made carrying members over quadratic in their number; below
// indexedFrom members that search is still the cheaper one. The keys are looked at where the
// object holds them: the object must not change while the index is used.
class MemberIndex {
 public:
  explicit MemberIndex(const Members& members) : members_(members) {
    if (members.size() < indexedFrom) return;
    positions_.reserve(members.size());
    for (std::size_t i = 0; i < members.size(); ++i) positions_.emplace(members[i].first, i);
  }

  std::optional<std::size_t> find(std::string_view key) const {
    if (members_.size() < indexedFrom) {
      for (std::size_t i = 0; i < members_.size(); ++i) {
        if (members_[i].first == key) return i;
      }
      return std::nullopt;
    }
    const auto found = positions_.find(key);
    if (found == positions_.end()) return std::nullopt;
    return found->second;
  }

 private:
  static constexpr std::size_t indexedFrom = 16;

  const Members& members_;
  std::unordered_map<std::string_view, std::size_t> positions_;
};

std::unordered_map<std::string, const Json*> elementsByID(const Json& array) {
  std::unordered_map<std::string, const Json*> index;
  for (const Json& element : array) {
    if (auto id = elementID(element)) index.emplace(std::move(*id), &element);
  }
  return index;
}

}  // namespace

void keepUnknownMembers(const Json& stored, const Json& understood, Json& written) {
  if (stored.is_object() && understood.is_object() && written.is_object()) {
    const Members& read = understood.get_ref<const Json::object_t&>();
    Members& now = membersOf(written);
    // Nothing is added to the written object until every lookup in it is done: its index
    // points at the keys where the object holds them.
    const MemberIndex known(read);
    const MemberIndex taken(now);
    std::vector<const Members::value_type*> unknown;
    for (const auto& member : stored.get_ref<const Json::object_t&>()) {
      const auto readAt = known.find(member.first);
      const auto nowAt = taken.find(member.first);
      if (!readAt) {
        if (!nowAt) unknown.push_back(&member);
      } else if (nowAt) {
        keepUnknownMembers(member.second, read[*readAt].second, now[*nowAt].second);
      }
    }
    now.reserve(now.size() + unknown.size());
    for (const auto* member : unknown) now.emplace_back(member->first, member->second);
    return;
  }
  if (!(stored.is_array() && understood.is_array() && written.is_array())) return;
  const auto storedByID = elementsByID(stored);
  const auto understoodByID = elementsByID(understood);
  const bool samePlaces = stored.size() == understood.size();
  for (std::size_t i = 0; i < written.size(); ++i) {
    Json& element = written[i];
    if (const auto id = elementID(element)) {
      const auto was = storedByID.find(*id);
      const auto read = understoodByID.find(*id);
      if (was != storedByID.end() && read != understoodByID.end()) {
        keepUnknownMembers(*was->second, *read->second, element);
      }
    } else if (samePlaces && i < stored.size() && !elementID(stored[i])) {
      keepUnknownMembers(stored[i], understood[i], element);
    }
  }
}

}  // namespace json

JsonReader::JsonReader(const Json& value, std::string codingPath)
    : value_(&value), codingPath_(std::move(codingPath)) {}

void JsonReader::fail(DecodingError::Kind kind, const std::string& description) const {
  throw DecodingError(kind, codingPath_, description);
}

JsonReader JsonReader::operator[](std::string_view key) const {
  if (!value_->is_object()) {
    fail(DecodingError::Kind::typeMismatch,
         "Expected to decode Dictionary but found " + describe(*value_) + " instead.");
  }
  const auto found = value_->find(key);
  JsonReader member(found == value_->end() ? *value_ : *found, childPath(codingPath_, key));
  if (found == value_->end()) {
    member.fail(DecodingError::Kind::keyNotFound,
                "No value associated with key \"" + std::string(key) + "\".");
  }
  if (found->is_null()) {
    member.fail(DecodingError::Kind::valueNotFound, "Expected a value but found null instead.");
  }
  return member;
}

std::optional<JsonReader> JsonReader::optional(std::string_view key) const {
  if (!value_->is_object()) {
    fail(DecodingError::Kind::typeMismatch,
         "Expected to decode Dictionary but found " + describe(*value_) + " instead.");
  }
  const auto found = value_->find(key);
  if (found == value_->end() || found->is_null()) return std::nullopt;
  return JsonReader(*found, childPath(codingPath_, key));
}

bool JsonReader::contains(std::string_view key) const {
  return value_->is_object() && value_->find(key) != value_->end();
}

std::vector<std::string> JsonReader::keys() const {
  if (!value_->is_object()) {
    fail(DecodingError::Kind::typeMismatch,
         "Expected to decode Dictionary but found " + describe(*value_) + " instead.");
  }
  std::vector<std::string> out;
  out.reserve(value_->size());
  for (const auto& item : value_->items()) out.push_back(item.key());
  return out;
}

std::vector<std::pair<std::string, JsonReader>> JsonReader::members() const {
  if (!value_->is_object()) {
    fail(DecodingError::Kind::typeMismatch,
         "Expected to decode Dictionary but found " + describe(*value_) + " instead.");
  }
  std::vector<std::pair<std::string, JsonReader>> out;
  out.reserve(value_->size());
  for (const auto& [key, member] : value_->get_ref<const Json::object_t&>()) {
    out.emplace_back(key, JsonReader(member, childPath(codingPath_, key)));
  }
  return out;
}

std::vector<JsonReader> JsonReader::elements() const {
  if (!value_->is_array()) {
    fail(DecodingError::Kind::typeMismatch,
         "Expected to decode Array but found " + describe(*value_) + " instead.");
  }
  std::vector<JsonReader> out;
  out.reserve(value_->size());
  for (std::size_t i = 0; i < value_->size(); ++i) {
    out.emplace_back((*value_)[i], codingPath_ + "[" + std::to_string(i) + "]");
  }
  return out;
}

double JsonReader::asDouble() const {
  switch (value_->type()) {
    case Json::value_t::number_integer:
      return static_cast<double>(value_->get_ref<const Json::number_integer_t&>());
    case Json::value_t::number_unsigned:
      return static_cast<double>(value_->get_ref<const Json::number_unsigned_t&>());
    case Json::value_t::number_float:
      return value_->get_ref<const Json::number_float_t&>();
    case Json::value_t::null:
      fail(DecodingError::Kind::valueNotFound, "Expected Double value but found null instead.");
    default:
      fail(DecodingError::Kind::typeMismatch,
           "Expected to decode Double but found " + describe(*value_) + " instead.");
  }
}

float JsonReader::asFloat() const {
  if (value_->is_null()) {
    fail(DecodingError::Kind::valueNotFound, "Expected Float value but found null instead.");
  }
  if (!value_->is_number()) {
    fail(DecodingError::Kind::typeMismatch,
         "Expected to decode Float but found " + describe(*value_) + " instead.");
  }
  const double value = asDouble();
  if (!(std::fabs(value) <= FLT_MAX)) {
    fail(DecodingError::Kind::dataCorrupted,
         "Parsed JSON number <" + numberText(value) + "> does not fit in Float.");
  }
  return static_cast<float>(value);
}

std::int64_t JsonReader::asInt() const {
  switch (value_->type()) {
    case Json::value_t::number_integer:
      return value_->get_ref<const Json::number_integer_t&>();
    case Json::value_t::number_unsigned: {
      const auto value = value_->get_ref<const Json::number_unsigned_t&>();
      if (value > static_cast<std::uint64_t>(INT64_MAX)) {
        fail(DecodingError::Kind::dataCorrupted,
             "Parsed JSON number <" + std::to_string(value) + "> does not fit in Int.");
      }
      return static_cast<std::int64_t>(value);
    }
    case Json::value_t::number_float: {
      const double value = value_->get_ref<const Json::number_float_t&>();
      if (!(std::trunc(value) == value && value >= -twoTo63 && value < twoTo63)) {
        fail(DecodingError::Kind::dataCorrupted,
             "Parsed JSON number <" + numberText(value) + "> does not fit in Int.");
      }
      return static_cast<std::int64_t>(value);
    }
    case Json::value_t::null:
      fail(DecodingError::Kind::valueNotFound, "Expected Int value but found null instead.");
    default:
      fail(DecodingError::Kind::typeMismatch,
           "Expected to decode Int but found " + describe(*value_) + " instead.");
  }
}

bool JsonReader::asBool() const {
  if (value_->is_boolean()) return value_->get<bool>();
  if (value_->is_null()) {
    fail(DecodingError::Kind::valueNotFound, "Expected Bool value but found null instead.");
  }
  fail(DecodingError::Kind::typeMismatch,
       "Expected to decode Bool but found " + describe(*value_) + " instead.");
}

std::string JsonReader::asString() const {
  if (value_->is_string()) return value_->get_ref<const std::string&>();
  if (value_->is_null()) {
    fail(DecodingError::Kind::valueNotFound, "Expected String value but found null instead.");
  }
  fail(DecodingError::Kind::typeMismatch,
       "Expected to decode String but found " + describe(*value_) + " instead.");
}

Date JsonReader::asDate() const { return Date(asDouble()); }

UUID JsonReader::asUUID() const {
  const std::optional<UUID> id = UUID::fromString(asString());
  if (!id)
    fail(DecodingError::Kind::dataCorrupted, "Attempted to decode UUID from invalid UUID string.");
  return *id;
}

}  // namespace vorlane
