#pragma once

#include <memory>
#include <string_view>

#include "coordination/visit_coordinator.h"
#include "foundation/sentence_error.h"
#include "ui/tray/status_source.h"

namespace vorlane {

// Why the status item's reminder editor could not save: the coordinator is gone, which
// happens only while Vorlane quits.
enum class StatusSourceErrorCase { quitting };

std::string_view describe(StatusSourceErrorCase error);

using StatusSourceError = SentenceError<StatusSourceErrorCase>;

// The status item's source over the coordinator: its state read at one moment, the menu's
// commands run as its operations. Holds the coordinator weakly: once it is gone the snapshot
// is idle, commands do nothing and a save is refused with StatusSourceError quitting.
class CoordinatorStatusSource final : public StatusSource {
 public:
  explicit CoordinatorStatusSource(std::weak_ptr<VisitCoordinator> coordinator);

  StatusSnapshot snapshot() const override;
  void run(StatusCommand command, const StatusData& data) override;
  std::optional<Reminder> storedReminder(const UUID& id) const override;
  Reminder addReminder(const std::string& text) override;
  Reminder updateReminder(const UUID& id, const std::string& phrase,
                          const std::string& schedule) override;

 private:
  // The coordinator, or StatusSourceError quitting.
  std::shared_ptr<VisitCoordinator> running() const;

  std::weak_ptr<VisitCoordinator> coordinator_;
};

}  // namespace vorlane
