#pragma once

#include <atomic>
#include <memory>

#include "coordination/coordinator/visit_coordinator.h"
#include "core/reminders/in_memory_reminder_store.h"
#include "platform/persistence/file_record_store.h"
#include "platform/persistence/in_memory_record_store.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "tests/support/coordinator_over_fakes.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_environment.h"
#include "tests/support/fake_repeating_timer.h"
#include "tests/support/fake_screen_provider.h"
#include "tests/support/fake_services.h"
#include "tests/support/temp_folder.h"
#include "ui/mascot/controller/mascot_window_controller.h"

namespace vorlane {

// Records that count the writes reaching the settings file.
class CountedRecords final : public RecordStore {
 public:
  explicit CountedRecords(RecordStore& records) : records_(records) {}
  StoredData data(const std::string& key) const override { return records_.data(key); }
  void setData(const std::string& key, std::string_view bytes) override {
    records_.setData(key, bytes);
    if (key == RecordPreferencesStore::key) ++settingsWrites;
  }
  bool remove(const std::string& key) override { return records_.remove(key); }
  std::optional<std::string> setAside(const std::string& key) override {
    return records_.setAside(key);
  }
  std::optional<std::string> setDataKeepingAside(const std::string& key,
                                                 std::string_view bytes) override {
    auto kept = records_.setDataKeepingAside(key, bytes);
    if (key == RecordPreferencesStore::key) ++settingsWrites;
    return kept;
  }

  std::atomic<int> settingsWrites = 0;

 private:
  RecordStore& records_;
};

// The settings as the running application holds them: the store, and the coordinator and
// the mascot that apply each change. Speech, notifications, the tick and the desktop are
// stand-ins; the records are a settings folder in a temporary folder, or memory.
class LiveSettings {
 public:
  enum class Records { inMemory, fileImmediately, fileInBackground };

  explicit LiveSettings(Records kind)
      : files_(folder_.path()),
        counted_(kind == Records::inMemory ? static_cast<RecordStore&>(memory_) : files_),
        store_(std::make_shared<RecordPreferencesStore>(
            counted_, kind == Records::fileInBackground
                          ? RecordPreferencesStore::Saving::inBackground
                          : RecordPreferencesStore::Saving::immediately)) {
    RecordStore& records = counted_;
    auto screens = std::make_shared<FakeScreenProvider>();
    screens->displays = {display("main", "Main", 0, 800)};
    mascot_ = std::make_shared<MascotWindowController>(MascotWindowController::Dependencies{
        .preferencesStore = store_,
        .screens = screens,
        .prefersReducedMotion = nullptr,
        .random = nullptr,
        .makeWork = nullptr,
        .watchesScreens = false,
        .pointerLocation = nullptr,
        .trayAvailable = [] { return true; },
        .systemEvents = nullptr,
        .doubleClickInterval = nullptr,
    });
    const Calendar utc("UTC", "en_US");
    auto clock = std::make_shared<FakeClock>(Date::fromUnix(1780000000));
    VisitCoordinator::Dependencies given =
        coordinatorOverFakes(clock, utc, store_, std::make_shared<InMemoryReminderStore>(), records,
                             timers_.factory(), {});
    given.presenter = mascot_;
    given.random = nullptr;  // the system's
    coordinator_ = VisitCoordinator::create(std::move(given));
    coordinator_->start();
  }
  ~LiveSettings() {
    coordinator_.reset();
    mascot_.reset();
    store_->flush();
  }
  LiveSettings(const LiveSettings&) = delete;
  LiveSettings& operator=(const LiveSettings&) = delete;

  RecordPreferencesStore& store() { return *store_; }
  // The settings writes so far, once the store has written what it was given.
  int settingsWrites() {
    store_->flush();
    return counted_.settingsWrites;
  }

 private:
  testing::TempFolder folder_;
  FileRecordStore files_;
  InMemoryRecordStore memory_;
  CountedRecords counted_;
  FakeRepeatingTimerFactory timers_;
  std::shared_ptr<RecordPreferencesStore> store_;
  std::shared_ptr<MascotWindowController> mascot_;
  std::shared_ptr<VisitCoordinator> coordinator_;
};

}  // namespace vorlane
