#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "foundation/json.h"

namespace vorlane {

// An enumeration stored as an object with one member named after its case.
struct CaseObject {
  std::size_t index;   // position of the case name in the list given
  JsonReader payload;  // the member's value, always an object
};

// Finds the one member of `reader` named in `caseNames` (other members are ignored).
// Throws DecodingError (typeMismatch) when there is none or more than one, or when the
// member's value is not an object.
CaseObject readCaseObject(const JsonReader& reader,
                          std::initializer_list<std::string_view> caseNames);

// {"<name>":{}} or {"<name>":{"_0":payload}}.
Json caseObject(std::string_view name);
Json caseObject(std::string_view name, Json payload);

}  // namespace vorlane
