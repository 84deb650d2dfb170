#pragma once

#include <memory>
#include <string>

#include "core/settings/preferences_store.h"
#include "platform/persistence/carried_members.h"
#include "platform/persistence/latest_bytes_writer.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

// The application's settings store: the record in memory, stored as JSON under the
// record-store key "preferences". Read and write failures never stop the application: an
// unreadable stored record gives the default settings, and is kept aside (with an error
// log line) by the first write that replaces it, the key never left empty in between. A record that
// is a link whose target cannot be reached also gives the defaults, but stays as it is, link and
// all (logged): the settings are written through it only once the target can be reached and holds
// nothing. Members a newer version stored are written back unchanged. Main thread only.
class RecordPreferencesStore final : public PreferencesStore {
 public:
  static constexpr const char* key = "preferences";

  // When a set reaches the records. `inBackground` keeps the disk off the caller's thread:
  // the record changes and is announced at once, and a thread of the store's own writes the
  // newest record soon after (then the record store must allow a key to be written from
  // another thread while its other keys are used here).
  enum class Saving { immediately, inBackground };

  // Loads the record; `recordStore` must outlive the store.
  explicit RecordPreferencesStore(RecordStore& recordStore, Saving saving = Saving::immediately);
  // Waits for a write still under way.
  ~RecordPreferencesStore() override;

  Preferences preferences() const override { return cached_; }

  // Keeps and stores the record (an equal one too, unless saving in the background, where
  // only a record that differs from the stored one is written again), then tells the
  // observers if it differs from the one before. An observer may set the preferences again:
  // the newest record is the one stored and the last one every observer hears.
  void setPreferences(const Preferences& preferences) override;

  // Returns once every record set before is stored (or its write failed and was logged).
  // Immediate at once.
  void flush();

 private:
  // Writes, keeping an unreadable record aside in the same step if it is still there. On the
  // writer's thread when saving in the background.
  bool write(const std::string& bytes);

  RecordStore& recordStore_;
  Preferences cached_;
  // The stored bytes could not be read and still have to be moved aside before a write.
  // Touched only by write() once the store is made.
  bool keepStoredBytes_ = false;
  // The record was a link whose target could not be reached: nothing is written while
  // anything stands behind it. Touched only by write() once the store is made.
  bool writeOnlyIfMissing_ = false;
  // Members a newer version stored, written back with every record.
  CarriedMembers carried_;
  // Last: the first member to go, so its thread never sees the others gone.
  std::unique_ptr<LatestBytesWriter> writer_;
};

}  // namespace vorlane
