#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorlane {

// Limits and cleaning for what is typed for a focus: its length in minutes, its goal and
// the note for the next step. Lengths are user-perceived characters (extended grapheme clusters),
// never bytes.
struct FocusInput {
  FocusInput() = delete;

  // The most characters a focus goal (or a priority title) may have.
  static constexpr std::size_t maximumLength = 120;
  // The most characters a next-step note may have; applied by whoever stores a note, after
  // cleaning it.
  static constexpr std::size_t maximumNextStepLength = 240;

  // The text split at every white-space character (one whose first code point is Unicode
  // White_Space; CR LF counts as one), empty pieces dropped, joined with single spaces.
  // So the ends are trimmed and every inner run of white space, newlines included,
  // becomes one U+0020. Invalid UTF-8 comes out as U+FFFD. Cleaning a cleaned text changes
  // nothing, so a check of the cleaned text judges exactly what is kept.
  static std::string cleaned(std::string_view text);

  // Whether a goal (or priority title) typed now may be kept: the cleaned text has a visible
  // character and at most `maximumLength` characters. Nothing but controls, NUL or
  // zero-width characters is refused as an empty goal would be.
  static bool isValidGoal(std::string_view text);
  // Whether a goal or title read back from disk is kept: the cleaned text is not empty and
  // fits. Weaker than isValidGoal, so that what was stored before invisible goals were
  // refused keeps loading.
  static bool isStoredGoal(std::string_view text);
  // Whether an already cleaned goal, which may be empty, fits in `maximumLength`.
  static bool fitsGoal(std::string_view cleanedGoal);
  // Whether an already cleaned note fits in `maximumNextStepLength`.
  static bool fitsNextStep(std::string_view cleanedNote);
  // Whether a focus of that many minutes may run: 1 to the settings' longest work length.
  static bool isValidMinutes(std::int64_t minutes);
};

}  // namespace vorlane
