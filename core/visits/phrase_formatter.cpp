#include "core/visits/phrase_formatter.h"

#include <array>
#include <cstdio>

namespace vorlane {

namespace {

// Every occurrence, left to right; the inserted text is never searched again.
void replaceAll(std::string& text, std::string_view placeholder, std::string_view replacement) {
  std::size_t at = text.find(placeholder);
  while (at != std::string::npos) {
    text.replace(at, placeholder.size(), replacement);
    at = text.find(placeholder, at + replacement.size());
  }
}

std::string spokenTime(int hour12, int minute) {
  using W = PhraseFormatter;
  switch (minute) {
    case 0:
      return W::words(hour12) + " o'clock";
    case 15:
      return "quarter past " + W::words(hour12);
    case 30:
      return "half past " + W::words(hour12);
    case 45:
      return "quarter to " + W::words(hour12 == 12 ? 1 : hour12 + 1);
    default:
      break;
  }
  if (minute >= 1 && minute <= 9) return W::words(hour12) + " oh " + W::words(minute);
  return W::words(hour12) + " " + W::words(minute);
}

}  // namespace

std::string PhraseFormatter::phrase(Date date) const {
  std::string text = template_.empty() ? std::string(defaultTemplate) : template_;
  int hour24 = calendar.hour(date);
  int minute = calendar.minute(date);
  int hour12 = twelveHour(hour24);
  replaceAll(text, "{hour}", words(hour12));
  replaceAll(text, "{minute}", words(minute));
  replaceAll(text, "{time}", spokenTime(hour12, minute));
  replaceAll(text, "{ampm}", hour24 >= 12 ? "PM" : "AM");
  return text;
}

std::string PhraseFormatter::bubbleText(Date date) const {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%d:%02d", twelveHour(calendar.hour(date)),
                calendar.minute(date));
  return buffer;
}

int PhraseFormatter::twelveHour(int hour24) {
  int onDial = hour24 % 12;
  return onDial == 0 ? 12 : onDial;
}

std::string PhraseFormatter::words(std::int64_t n) {
  static constexpr std::array<std::string_view, 20> units{
      "zero",     "one",     "two",     "three",     "four",     "five",    "six",
      "seven",    "eight",   "nine",    "ten",       "eleven",   "twelve",  "thirteen",
      "fourteen", "fifteen", "sixteen", "seventeen", "eighteen", "nineteen"};
  static constexpr std::array<std::string_view, 4> tens{"twenty", "thirty", "forty", "fifty"};
  if (n < 0 || n >= 60) return std::to_string(n);
  if (n < 20) return std::string(units[n]);
  std::string text(tens[n / 10 - 2]);
  if (n % 10 != 0) {
    text += '-';
    text += units[n % 10];
  }
  return text;
}

}  // namespace vorlane
