#pragma once

#include <string_view>

namespace vorlane {

// The sentence spoken when the user has set none. Kept with the settings so that the
// preferences need not know the formatter that expands it.
inline constexpr std::string_view defaultPhraseTemplate = "It's {time}";

}  // namespace vorlane
