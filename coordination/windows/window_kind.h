#pragma once

#include <array>
#include <cstddef>

namespace vorlane {

// Every window the application can open, as the registry keys it and the status menu's rows
// name it.
enum class WindowKind {
  // The coordinator's.
  quickCommand,
  focusSessionEditor,
  resumeNote,
  today,
  focusHistory,
  weeklyReflection,
  calendarFocus,
  // The status item's.
  reminderEditor,
  // The application shell's.
  preferences,
  about,
  welcome,
  // Asked by the calendar source before its first read.
  calendarConsent,
  // Not a window: how many kinds there are. New kinds go above it, so that every loop over
  // allWindowKinds takes them in.
  count,
};

// Every kind, in the enumeration's order, for the tables and checks that must cover them all.
inline constexpr std::array<WindowKind, std::size_t(WindowKind::count)> allWindowKinds = [] {
  std::array<WindowKind, std::size_t(WindowKind::count)> kinds{};
  for (std::size_t k = 0; k < kinds.size(); ++k) kinds[k] = static_cast<WindowKind>(k);
  return kinds;
}();

}  // namespace vorlane
