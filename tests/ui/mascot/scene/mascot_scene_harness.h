#pragma once

// What the mascot scene's tests share: the column's size, a scene with the placeholder
// character on a clock the test turns by hand, and the visits and completions it shows.

#include <gtest/gtest.h>

#include <string>

#include "tests/support/manual_clock.h"
#include "ui/mascot/character/placeholder_character_node.h"
#include "ui/mascot/scene/mascot_scene.h"

namespace vorlane {

inline constexpr double W = 340;
inline constexpr double H = 600;

inline Visit makeVisit(Choreography choreography = Choreography::standard(),
                       std::string text = "It's 3 PM") {
  return Visit{UUID(), Visit::Kind::hourly(),        Date(),       text, text,
               true,   Visit::BubbleStyle::headline, choreography, true};
}

inline PomodoroSession::Completion workDone(std::string goal = {}) {
  return {PomodoroSession::Kind::work, 1500, Date(), std::move(goal), UUID()};
}

class SceneTest : public testing::Test {
 protected:
  MascotScene scene{QSizeF(W, H), new PlaceholderCharacterNode};
  ManualClock clock{&scene};
};

}  // namespace vorlane
