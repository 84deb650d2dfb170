#include "ui/windows/calendar_focus/calendar_focus_controller.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <stdexcept>
#include <system_error>

#include "platform/calendar/calendar_files.h"
#include "platform/logging/log.h"

namespace vorlane {
namespace {

void openWithDesktop(const QUrl& url) { QDesktopServices::openUrl(url); }

std::optional<std::filesystem::path> standardCalendarsFolder() {
  const auto folders = CalendarFolders::standard();
  if (!folders) return std::nullopt;
  return folders->calendars;
}

void watchApplicationState(QObject* context, std::function<void()> onActive) {
  QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, context,
                   [onActive = std::move(onActive)](Qt::ApplicationState state) {
                     if (state == Qt::ApplicationActive) onActive();
                   });
}

}  // namespace

CalendarFocusController::CalendarFocusController(Dependencies dependencies)
    : dependencies_(std::move(dependencies)) {
  if (!dependencies_.clock) throw std::invalid_argument("CalendarFocusController needs a clock");
  if (!dependencies_.calendar) {
    throw std::invalid_argument("CalendarFocusController needs a calendar");
  }
  if (!dependencies_.openUrl) dependencies_.openUrl = openWithDesktop;
  if (!dependencies_.calendarsFolder) dependencies_.calendarsFolder = standardCalendarsFolder;
  if (!dependencies_.watchActivation) dependencies_.watchActivation = watchApplicationState;
}

void CalendarFocusController::show(
    CalendarFocusModel& model, DailyPrioritiesStore& priorities,
    std::function<void(int, const std::string&, std::optional<UUID>)> start) {
  CalendarFocusView::Services services{
      .clock = dependencies_.clock,
      .calendar = dependencies_.calendar,
      .openCalendarsFolder =
          [this, alive = std::weak_ptr<int>(alive_)] {
            if (!alive.expired()) openCalendarsFolder();
          },
      .watchActivation = dependencies_.watchActivation,
  };
  host_.show(QStringLiteral("Find a focus window \u2014 Vorlane"), QSize(width, height),
             {.resizable = true, .reuseVisible = true},
             [&](const FeatureWindow::CloseAction&) -> QWidget* {
               return new CalendarFocusView(model, priorities, guardedStart(std::move(start)),
                                            std::move(services));
             });
}

CalendarFocusView::Start CalendarFocusController::guardedStart(CalendarFocusView::Start start) {
  return [this, alive = std::weak_ptr<int>(alive_), start = std::move(start)](
             int minutes, const std::string& goal, std::optional<UUID> priority) {
    if (alive.expired() || host_.window() == nullptr || !host_.window()->isVisible()) {
      throw std::runtime_error(closedSentence);
    }
    start(minutes, goal, priority);
  };
}

void CalendarFocusController::openCalendarsFolder() const {
  const auto folder = dependencies_.calendarsFolder();
  if (!folder) return;
  std::error_code error;
  if (!std::filesystem::is_directory(*folder, error)) {
    std::filesystem::create_directories(*folder, error);
    if (!error) {
      std::filesystem::permissions(*folder, std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::replace, error);
    }
    if (error) {
      Log::lifecycle().error("cannot make the calendars folder: %{public}s", error.message());
      return;
    }
  }
  dependencies_.openUrl(QUrl::fromLocalFile(QString::fromStdString(folder->string())));
}

}  // namespace vorlane
