#pragma once

#include <libical/ical.h>

#include <memory>
#include <string_view>
#include <vector>

#include "platform/calendar/ics/recurrence_budget.h"

namespace vorlane {

// Whether ASCII letters alone differ; calendar names and keywords are ASCII.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Whether BEGIN/END blocks nest deeper than real calendars ever do (three or four levels);
// deeper text is hostile, and libical frees components recursively.
bool tooDeeplyNested(std::string_view text);

// The calendars of a file's text. Parsed line by line so that a file cut short still gives
// its complete events: the parser's leftovers are closed and kept rather than thrown away.
// Parsing stops when the budget's time is up, keeping what came before.
class ParsedIcs {
 public:
  ParsedIcs(std::string_view text, ReadBudget& budget);

  // Owned by this object; valid while it lives.
  const std::vector<icalcomponent*>& calendars() const { return calendars_; }

 private:
  struct ParserDeleter {
    void operator()(icalparser* p) const { icalparser_free(p); }
  };
  struct ComponentDeleter {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
  };

  // Declared first so that it goes last: it owns what its clean-up handed back.
  std::unique_ptr<icalparser, ParserDeleter> parser_;
  std::unique_ptr<icalcomponent, ComponentDeleter> complete_;
  std::vector<icalcomponent*> calendars_;
};

}  // namespace vorlane
