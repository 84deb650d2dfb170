#include "app/own_records.h"

#include <string>

#include "coordination/calendar_focus/calendar_focus_opt_in.h"
#include "platform/calendar/calendar_consent.h"
#include "platform/persistence/file_record_store.h"
#include "platform/persistence/file_reminder_store.h"
#include "platform/persistence/record_daily_priorities_store.h"
#include "platform/persistence/record_focus_history_store.h"
#include "platform/persistence/record_focus_recovery_store.h"
#include "platform/persistence/record_preferences_store.h"
#include "ui/overlays/clock_placement.h"

namespace vorlane {

bool isOwnRecordFile(std::string_view fileName) {
  for (const char* key :
       {RecordPreferencesStore::key, RecordFocusHistoryStore::key, RecordDailyPrioritiesStore::key,
        RecordFocusRecoveryStore::key, CalendarConsent::key, CalendarFocusOptIn::key}) {
    if (fileName == FileRecordStore::fileName(key)) return true;
  }
  // A key's bytes are encoded one by one, so the keys of every screen share the encoded
  // beginning of the empty screen's key.
  constexpr std::string_view suffix = ".json";
  std::string perScreen = FileRecordStore::fileName(clockPositionKey(""));
  perScreen.resize(perScreen.size() - suffix.size());
  return fileName.size() >= perScreen.size() + suffix.size() && fileName.starts_with(perScreen) &&
         fileName.ends_with(suffix);
}

bool isOwnDataFile(std::string_view fileName) { return fileName == FileReminderStore::fileName; }

}  // namespace vorlane
