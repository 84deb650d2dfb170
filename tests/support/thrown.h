#pragma once

#include <exception>
#include <optional>
#include <string>

namespace vorlane {

// What `call` threw as an `E`, read by `read`; none when it threw nothing. Anything else
// it throws passes on to the test.
template <class E, class Call, class Read>
auto thrown(Call&& call, Read read) -> std::optional<decltype(read(std::declval<const E&>()))> {
  try {
    call();
  } catch (const E& error) {
    return read(error);
  }
  return std::nullopt;
}

// The sentence the call threw, or "" when it did not throw.
template <class Call>
std::string refusal(Call&& call) {
  return thrown<std::exception>(call, [](const auto& e) { return std::string(e.what()); })
      .value_or("");
}

}  // namespace vorlane
