#pragma once

#include <chrono>
#include <functional>

namespace vorlane {

// How a launch settles which copy of Vorlane runs when another may be running: it tries to
// take the claim (the instance lock, or else the session bus name), and while another copy
// holds it, asks that copy to show itself. A copy that is quitting no longer answers and
// lets go of the claim soon, so a launch that gets no answer waits for the claim a while
// before concluding the holder is alive but silent.
struct InstanceContest {
  enum class Outcome {
    claimed,      // this copy is the one Vorlane
    otherShown,   // the running copy answered and shows itself
    otherSilent,  // the claim stayed taken and nobody answered within the patience
  };

  // Takes the claim if it is free; whether this copy holds it now.
  std::function<bool()> claim;
  // Asks the copy holding the claim to show itself, waiting at most the time given;
  // whether it answered.
  std::function<bool(std::chrono::milliseconds)> askHolderToShow;
  // Waits between tries; the clock it waits on.
  std::function<void(std::chrono::milliseconds)> pause;
  std::function<std::chrono::steady_clock::time_point()> now;

  // The longest a silent holder is waited for; how long between tries; the longest one
  // request to show may wait for its answer.
  std::chrono::milliseconds patience{8000};
  std::chrono::milliseconds interval{50};
  std::chrono::milliseconds longestAsk{1000};

  Outcome settle() const;
};

}  // namespace vorlane
