#pragma once

#include <optional>
#include <set>
#include <string>

namespace vorlane {

// A short line the mascot brings now and then: a quotation with its author, a tip, or the
// progress line about today's focus sessions.
struct Encouragement {
  // When a line may be picked: while the user is idle or during a focus break.
  enum class Moment { idle, onBreak };

  std::string id;  // unique within the library
  std::string text;
  std::optional<std::string> attribution;  // the author of a quotation
  std::set<Moment> moments;

  // The speech bubble's text: a quotation in curly quotes with an em-dashed author on the
  // next line; anything else is its text unchanged.
  std::string bubbleText() const;

  bool operator==(const Encouragement&) const = default;
};

}  // namespace vorlane
