#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <string_view>

namespace vorlane {

// An error that is one case of a small enumeration, each case carrying the full sentence the
// caller shows. The sentences come from a `describe(Case)` found next to the enumeration,
// returning text with static storage.
template <class CaseType>
class SentenceError : public std::exception {
 public:
  using Case = CaseType;

  explicit SentenceError(Case value) : value_(value) {}

  Case value() const { return value_; }
  std::string_view errorDescription() const { return describe(value_); }
  const char* what() const noexcept override {
    const std::string_view text = errorDescription();
    return text.empty() ? "" : text.data();
  }

  bool operator==(const SentenceError& other) const { return value_ == other.value_; }

 private:
  Case value_;
};

}  // namespace vorlane

template <class Case>
struct std::hash<vorlane::SentenceError<Case>> {
  std::size_t operator()(const vorlane::SentenceError<Case>& error) const noexcept {
    return std::hash<Case>{}(error.value());
  }
};
