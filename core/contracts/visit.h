#pragma once

#include <string>

#include "core/contracts/choreography.h"
#include "foundation/date.h"
#include "foundation/uuid.h"

namespace vorlane {

// One appearance of the mascot: what it says and shows, when it was due, why, and how it
// moves. Lives only in memory.
struct Visit {
  // Why the visit happens. Only `reminder` carries a payload (the reminder's id); the
  // others keep a nil id so that equality compares the case alone.
  class Kind {
   public:
    enum class Case {
      reminder,
      hourly,
      manual,
      pomodoroStart,
      pomodoroComplete,
      breakComplete,
      encouragement
    };

    static Kind reminder(const UUID& reminderID) { return Kind(Case::reminder, reminderID); }
    static Kind hourly() { return Kind(Case::hourly); }
    static Kind manual() { return Kind(Case::manual); }
    static Kind pomodoroStart() { return Kind(Case::pomodoroStart); }
    static Kind pomodoroComplete() { return Kind(Case::pomodoroComplete); }
    static Kind breakComplete() { return Kind(Case::breakComplete); }
    static Kind encouragement() { return Kind(Case::encouragement); }

    Case value() const { return case_; }
    // The reminder's id for `reminder`; nil for every other case.
    const UUID& reminderID() const { return reminderID_; }

    bool operator==(const Kind&) const = default;

   private:
    explicit Kind(Case c, UUID id = {}) : case_(c), reminderID_(id) {}
    Case case_;
    UUID reminderID_;
  };

  enum class BubbleStyle { headline, note };

  UUID id;
  Kind kind;
  Date scheduledFor;  // when the visit was due, not when it was found
  std::string spokenPhrase;
  std::string bubbleText;
  bool showsBubble;
  BubbleStyle bubbleStyle;
  Choreography choreography;
  bool isClickable;

  // All nine fields equal; texts compare character for character.
  bool operator==(const Visit& other) const;
};

}  // namespace vorlane
