#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace vorlane {

// One argument of a log message, borrowed for the length of the call. Only texts, integers
// and flags are accepted; anything else does not compile.
class LogArgument {
 public:
  enum class Kind { text, signedInteger, unsignedInteger, flag };

  LogArgument(std::string_view text) : kind_(Kind::text), text_(text) {}
  LogArgument(const std::string& text) : kind_(Kind::text), text_(text) {}
  LogArgument(const char* text) : kind_(Kind::text), text_(text ? text : "(null)") {}
  // A template, so that pointers and floating-point values do not slip in as flags.
  template <class T>
  requires std::is_same_v<T, bool> LogArgument(T flag)
      : kind_(Kind::flag), unsigned_(flag ? 1 : 0) {}

  template <class T>
  requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && std::is_signed_v<T>)
      LogArgument(T value)
      : kind_(Kind::signedInteger), signed_(value) {}

  template <class T>
  requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && std::is_unsigned_v<T>)
      LogArgument(T value)
      : kind_(Kind::unsignedInteger), unsigned_(value) {}

  Kind kind() const { return kind_; }
  std::string_view text() const { return text_; }
  std::int64_t signedValue() const { return signed_; }
  std::uint64_t unsignedValue() const { return unsigned_; }

 private:
  Kind kind_;
  std::string_view text_;
  std::int64_t signed_ = 0;
  std::uint64_t unsigned_ = 0;
};

// Renders a log message. Understood: %{public}s (the text), %s (written "<private>"),
// %d, %ld, %u (a number), %{bool}d ("true" or "false") and %%. Arguments are taken in order;
// a missing argument is written "<missing>" and one of the wrong kind "<invalid>"; any other
// '%' sequence is copied as it stands. The result never depends on the arguments' contents
// being well formed.
std::string formatLogMessage(std::string_view format, std::initializer_list<LogArgument> args);

}  // namespace vorlane
