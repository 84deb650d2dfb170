#pragma once

#include <string_view>

namespace vorlane {

// The timing of one visit's motion, in seconds, and the celebration performed in view.
struct Choreography {
  enum class Celebration { none, jumpAndShout, triumph };

  double descend = 0;
  double hold = 0;
  double ascend = 0;
  Celebration celebration = Celebration::none;

  // descend + hold + ascend, added in that order.
  double total() const { return descend + hold + ascend; }

  static Choreography standard() { return {1.6, 3.8, 1.6, Celebration::none}; }
  static Choreography celebratory() { return {1.6, 5.5, 1.6, Celebration::jumpAndShout}; }
  static Choreography triumphant() { return {1.3, 6.5, 1.6, Celebration::triumph}; }
  static Choreography brief() { return {1.2, 2.0, 1.2, Celebration::none}; }

  // A standard motion whose hold gives time to read the text: 0.065 s a character plus
  // 1.5 s, never shorter than the standard hold, never longer than 9 s.
  static Choreography reading(std::string_view text);

  bool operator==(const Choreography&) const = default;
};

}  // namespace vorlane
