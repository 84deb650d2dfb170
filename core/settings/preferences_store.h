#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "core/settings/preferences.h"
#include "foundation/observers.h"

namespace vorlane {

// Where the current settings live. Every holder of one store sees the same record; reads
// hand out copies, so a change only takes effect through setPreferences. Whoever acts on a
// setting subscribes to `changes()`, or follows only the fields it reads (`follow`); a
// producer of a change only writes it.
class PreferencesStore {
 public:
  PreferencesStore() = default;
  PreferencesStore(const PreferencesStore&) = delete;
  PreferencesStore& operator=(const PreferencesStore&) = delete;
  virtual ~PreferencesStore() = default;

  // A copy of the current record.
  virtual Preferences preferences() const = 0;
  // Replaces the whole record; the subscribers hear of it only when it differs.
  virtual void setPreferences(const Preferences& preferences) = 0;

  // Applies `change` to a copy of the record and sets it: one write.
  void modify(const std::function<void(Preferences&)>& change) {
    Preferences record = preferences();
    change(record);
    setPreferences(record);
  }

  // Told of every change of the record, with the new record. A subscriber that changes the
  // record while being told starts a new round once the current one ends, so the last
  // record every subscriber hears is the current one.
  Observers<Preferences>& changes() { return changes_; }

  // Told only of the changes in which one of `fields` differs from the record it last heard
  // of (at first, the record at this call), with that record and the new one: a follower
  // reacts to its own fields and to nothing else.
  using FollowerReaction = std::function<void(const Preferences& before, const Preferences& now)>;
  [[nodiscard]] Observers<Preferences>::Subscription follow(PreferenceFields fields,
                                                            FollowerReaction react) {
    auto heard = std::make_shared<Preferences>(preferences());
    return changes_.subscribe([fields, react = std::move(react), heard](const Preferences& now) {
      if (!fields.differ(*heard, now)) return;
      const Preferences before = std::exchange(*heard, now);
      react(before, now);
    });
  }

 protected:
  // Tells the subscribers of the current record, as `changes()` describes.
  void announceChange() {
    if (announcing_) {
      announceAgain_ = true;
      return;
    }
    announcing_ = true;
    struct Done {
      bool& flag;
      ~Done() { flag = false; }
    } done{announcing_};
    do {
      announceAgain_ = false;
      changes_.notify(preferences());
    } while (announceAgain_);
  }

  Observers<Preferences> changes_;

 private:
  bool announcing_ = false;
  bool announceAgain_ = false;
};

}  // namespace vorlane
