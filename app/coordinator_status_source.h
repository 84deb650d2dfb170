#pragma once

#include <memory>

#include "coordination/coordinator/visit_coordinator.h"
#include "ui/tray/status_source.h"

namespace vorlane {

// The status item's source over the coordinator: its state read at one moment, the menu's
// commands run as its operations, their refusals thrown on as they come. Holds the
// coordinator weakly: once it is gone (Vorlane is closing) the snapshot is idle, commands do
// nothing and a save is refused with ActionError applicationClosing.
class CoordinatorStatusSource final : public StatusSource {
 public:
  explicit CoordinatorStatusSource(std::weak_ptr<VisitCoordinator> coordinator);

  CoordinatorStatus snapshot(StatusReading reading, std::size_t firstReminder) const override;
  void run(StatusCommand command, const StatusData& data) override;
  std::optional<Reminder> storedReminder(const UUID& id) const override;
  Reminder addReminder(const std::string& text) override;
  Reminder updateReminder(const UUID& id, const std::string& phrase,
                          const std::string& schedule) override;

 private:
  // The coordinator, or ActionError applicationClosing.
  std::shared_ptr<VisitCoordinator> running() const;

  std::weak_ptr<VisitCoordinator> coordinator_;
};

}  // namespace vorlane
