#pragma once

#include <compare>

namespace vorlane {

// An instant, as seconds since 2001-01-01 00:00:00 UTC. Plain double arithmetic, so
// `last + 0.001` and "more than 90 s late" compare exactly as written.
class Date {
 public:
  // Seconds between the Unix epoch and the reference date.
  static constexpr double unixOffset = 978307200.0;

  constexpr Date() = default;
  constexpr explicit Date(double secondsSinceReference) : seconds_(secondsSinceReference) {}

  static constexpr Date fromUnix(double unixSeconds) { return Date(unixSeconds - unixOffset); }
  // ICU's UDate: milliseconds since the Unix epoch.
  static constexpr Date fromUDate(double udate) { return Date(udate / 1000.0 - unixOffset); }

  constexpr double timeIntervalSinceReferenceDate() const { return seconds_; }
  constexpr double unixSeconds() const { return seconds_ + unixOffset; }
  constexpr double udate() const { return (seconds_ + unixOffset) * 1000.0; }

  constexpr Date operator+(double seconds) const { return Date(seconds_ + seconds); }
  constexpr Date operator-(double seconds) const { return Date(seconds_ - seconds); }
  constexpr double operator-(Date other) const { return seconds_ - other.seconds_; }
  constexpr Date& operator+=(double seconds) {
    seconds_ += seconds;
    return *this;
  }

  constexpr auto operator<=>(const Date&) const = default;

 private:
  double seconds_ = 0.0;
};

// A span between two instants; `end` is not before `start` by convention, not by check.
struct DateInterval {
  Date start;
  Date end;

  constexpr double duration() const { return end - start; }
  // Half-open: `start` belongs to the interval, `end` does not.
  constexpr bool contains(Date d) const { return d >= start && d < end; }
  constexpr bool operator==(const DateInterval&) const = default;
};

}  // namespace vorlane
