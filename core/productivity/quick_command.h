#pragma once

#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "foundation/sentence_error.h"

namespace vorlane {

// One line typed into the quick-command panel, understood: start a focus, add a reminder,
// pause, resume or stop. The coordinator carries it out.
class QuickCommand {
 public:
  // `minutes` is 1...90, or none for the preferred focus length.
  struct Focus {
    std::optional<int> minutes;
    std::string goal;
    bool operator==(const Focus&) const = default;
  };
  // The reminder's words, handed on to the reminder parser as typed, less a leading "me to"
  // or "me" ("remind me to ..." says no more than "remind ...").
  struct Remind {
    std::string text;
    bool operator==(const Remind&) const = default;
  };
  struct Pause {
    bool operator==(const Pause&) const = default;
  };
  struct Resume {
    bool operator==(const Resume&) const = default;
  };
  struct Stop {
    bool operator==(const Stop&) const = default;
  };
  using Value = std::variant<Focus, Remind, Pause, Resume, Stop>;

  // Why a line was refused, with the sentence the panel shows.
  enum class ErrorCase { help, goal, duration };
  friend std::string_view describe(ErrorCase error);
  using Error = SentenceError<ErrorCase>;

  static QuickCommand focus(std::optional<int> minutes, std::string goal) {
    return QuickCommand(Focus{minutes, std::move(goal)});
  }
  static QuickCommand remind(std::string text) { return QuickCommand(Remind{std::move(text)}); }
  static QuickCommand pause() { return QuickCommand(Pause{}); }
  static QuickCommand resume() { return QuickCommand(Resume{}); }
  static QuickCommand stop() { return QuickCommand(Stop{}); }

  // The command the line asks for. Keywords and the "m" of a length ignore case; goals and
  // reminder texts keep it. Throws Error: `help` for a line that is not a command word with
  // a rest, `duration` for a first goal word that starts like a number but is not 1m...90m,
  // `goal` for an empty goal or one over 120 characters.
  static QuickCommand parse(std::string_view text);

  const Value& value() const { return value_; }
  bool operator==(const QuickCommand&) const = default;

 private:
  explicit QuickCommand(Value value) : value_(std::move(value)) {}
  Value value_;
};

}  // namespace vorlane
