#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "core/settings/phrase_template.h"
#include "foundation/calendar.h"
#include "foundation/date.h"

namespace vorlane {

// Turns a moment into the sentence the mascot speaks and the clock text of its bubble.
// English only. The hour and minute come from `calendar`, in its zone; seconds are ignored.
struct PhraseFormatter {
  static constexpr std::string_view defaultTemplate = defaultPhraseTemplate;

  PhraseFormatter(std::string templateText, Calendar calendar)
      : template_(std::move(templateText)), calendar(std::move(calendar)) {}

  // The sentence with placeholders "{hour}", "{minute}", "{time}" and "{ampm}", normally the
  // user's phrase template. Named with a trailing underscore: `template` is a keyword.
  std::string template_;
  Calendar calendar;

  // The template expanded for `date`; an empty template is replaced by the default first.
  // Placeholders are matched case-sensitively, replaced in the order hour, minute, time,
  // ampm; any other text, braces included, stays as it is.
  std::string phrase(Date date) const;
  // "4:00", "12:07": the hour on a 12-hour dial and two-digit minutes, no AM or PM.
  std::string bubbleText(Date date) const;

  // An hour 0-23 on a 12-hour dial: 0 and 12 give 12, 13 gives 1.
  static int twelveHour(int hour24);
  // A whole number in English words from 0 to 59 ("zero", "twenty-two"); anything else in
  // decimal digits ("-5", "60").
  static std::string words(std::int64_t n);
};

}  // namespace vorlane
