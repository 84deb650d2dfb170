#include "platform/calendar/ics/ics_text.h"

#include <mutex>
#include <string>

namespace vorlane {
namespace {

constexpr int maxNesting = 32;

void prepareLibical() {
  static std::once_flag once;
  std::call_once(once, [] { icalerror_set_errors_are_fatal(0); });
}

// Hands libical the text one line at a time, as fgets would.
struct LineSource {
  std::string_view text;
  ReadBudget& budget;
  std::size_t position = 0;
};

char* nextLine(char* out, std::size_t size, void* data) {
  auto* source = static_cast<LineSource*>(data);
  if (source->position >= source->text.size() || size < 2 || source->budget.timeIsUp()) {
    return nullptr;
  }
  std::size_t n = 0;
  while (n + 1 < size && source->position < source->text.size()) {
    const char c = source->text[source->position++];
    // libical reads lines as C strings: a NUL byte (never part of calendar text) would end
    // the line there and lose the rest of it.
    if (c == '\0') continue;
    out[n++] = c;
    if (c == '\n') break;
  }
  out[n] = '\0';
  return out;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  }
  return true;
}

// Counts BEGIN/END nesting on unfolded lines, reading only what it needs of each line.
bool tooDeeplyNested(std::string_view text) {
  int depth = 0;
  std::string head;  // the first characters of the current unfolded line
  const auto finish = [&]() {
    if (startsWithIgnoringCase(head, "BEGIN:")) {
      if (++depth > maxNesting) return true;
    } else if (startsWithIgnoringCase(head, "END:")) {
      if (depth > 0) --depth;
    }
    head.clear();
    return false;
  };
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const bool continuation = !line.empty() && (line.front() == ' ' || line.front() == '\t');
    if (continuation) {
      line.remove_prefix(1);
    } else if (finish()) {
      return true;
    }
    if (head.size() < 6) head.append(line.substr(0, 6 - head.size()));
    start = end + 1;
  }
  return finish();
}

ParsedIcs::ParsedIcs(std::string_view text, ReadBudget& budget) {
  prepareLibical();
  LineSource source{text, budget};
  parser_.reset(icalparser_new());
  if (!parser_) return;
  icalparser_set_gen_data(parser_.get(), &source);
  complete_.reset(icalparser_parse(parser_.get(), nextLine));
  // The parser keeps owning what clean hands back, and frees it with itself.
  icalcomponent* const leftover = icalparser_clean(parser_.get());
  icalparser_set_gen_data(parser_.get(), nullptr);

  for (icalcomponent* root : {complete_.get(), leftover}) {
    if (root == nullptr) continue;
    switch (icalcomponent_isa(root)) {
      case ICAL_VCALENDAR_COMPONENT:
        calendars_.push_back(root);
        break;
      case ICAL_XROOT_COMPONENT:
        for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VCALENDAR_COMPONENT);
             c != nullptr; c = icalcomponent_get_next_component(root, ICAL_VCALENDAR_COMPONENT)) {
          calendars_.push_back(c);
        }
        break;
      default:
        break;
    }
  }
}

}  // namespace vorlane
