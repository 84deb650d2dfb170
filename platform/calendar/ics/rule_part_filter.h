#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane {

// Text whose recurrence rules lost the parts no calendar program knows ("UNTL=20191023").
// libical drops a whole rule over one such part, reading a series as a single event; other
// programs leave out the part and expand the rest.
struct FilteredRules {
  std::string text;
  std::vector<std::string> ignored;  // the parts left out, each once, in file order
};

// None when every rule part is known (the text stands as it is). Reads unfolded lines.
std::optional<FilteredRules> withoutUnknownRuleParts(std::string_view text);

}  // namespace vorlane
