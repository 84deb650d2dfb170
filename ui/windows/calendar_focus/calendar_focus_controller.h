#pragma once

#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "coordination/windows/feature_windows.h"
#include "core/contracts/clock.h"
#include "foundation/calendar.h"
#include "ui/kit/feature_window.h"
#include "ui/windows/calendar_focus/calendar_focus_view.h"

namespace vorlane {

// The calendar focus window, "Find a focus window — Vorlane": resizable, 560 x 560 when
// made. Asked again while on screen, it is only raised; after a close it opens with an empty
// goal. Its start goes to the coordinator only while the window is still on screen.
class CalendarFocusController final : public CalendarFocusWindow {
 public:
  static constexpr int width = 560;
  static constexpr int height = 560;

  struct Dependencies {
    std::shared_ptr<const Clock> clock;
    // The user's calendar, read at each use.
    std::function<Calendar()> calendar;
    // Hands an address to the desktop; QDesktopServices when none is given.
    std::function<void(const QUrl&)> openUrl = nullptr;
    // The folder of the user's .ics calendars; $XDG_DATA_HOME/Vorlane/calendars when none.
    std::function<std::optional<std::filesystem::path>()> calendarsFolder = nullptr;
    // Tells when the application becomes active; Qt's application state when none.
    CalendarFocusView::ActivationWatch watchActivation = nullptr;
  };

  // Throws std::invalid_argument without a clock or a calendar.
  explicit CalendarFocusController(Dependencies dependencies);

  void show(CalendarFocusModel& model, DailyPrioritiesStore& priorities,
            std::function<void(int, const std::string&, std::optional<UUID>)> start) override;

  FeatureWindow& host() { return host_; }

  // What the view is given for `start`: passes a call on unchanged while this window is on
  // screen; once it has closed, or the controller has gone, throws closedSentence instead.
  CalendarFocusView::Start guardedStart(CalendarFocusView::Start start);

  // The sentence of a start that arrives after the window has gone.
  static constexpr const char* closedSentence = "The calendar focus window was closed.";

 private:
  // Shows the calendars folder, made (owner only) when missing; nothing when it cannot be.
  void openCalendarsFolder() const;

  Dependencies dependencies_;
  FeatureWindow host_;
  // Gone with the controller, so a start still held by a view can tell.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace vorlane
