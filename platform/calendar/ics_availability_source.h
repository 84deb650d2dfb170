#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "core/contracts/calendar_availability_source.h"
#include "platform/calendar/busy_reader.h"
#include "platform/calendar/calendar_consent.h"
#include "platform/calendar/calendar_reader.h"
#include "platform/calendar/calendar_worker.h"
#include "platform/calendar/consent_prompt.h"

namespace vorlane {

// The calendar's busy times from the user's calendars (.ics files, the calendar service),
// with the user's recorded consent standing in for a platform permission. Belongs to the
// main thread; the calendars are read on one worker thread of its own, one request at a
// time, and every completion arrives later on the main thread, exactly once. A source
// destroyed first delivers nothing.
class IcsAvailabilitySource final : public QObject, public CalendarAvailabilitySource {
 public:
  // `recordStore` and `prompt` must outlive the source.
  IcsAvailabilitySource(RecordStore& recordStore, ConsentPrompt& prompt,
                        std::shared_ptr<const BusyReader> reader, QObject* parent = nullptr);
  // Never waits for a read in progress (quitting must not hang on a calendar): the read is
  // cancelled and its result dropped.
  ~IcsAvailabilitySource() override;

  // The stored consent, read afresh on every call.
  CalendarAccess access() const override;
  // Shows the prompt naming the places the reader reads. The user's yes or no is stored before the
  // completion runs (a failed store fails the call); closing the prompt yields false and
  // stores nothing.
  void requestAccess(AccessCompletion completion) override;
  // Fails with FileError readNoPermission (and reads nothing) unless the user has granted access.
  void busyIntervals(DateInterval interval, BusyCompletion completion) override;

 private:
  // Runs `deliver` on the main thread after the current call has returned.
  void later(std::function<void()> deliver);

  CalendarConsent consent_;
  ConsentPrompt& prompt_;
  std::shared_ptr<const BusyReader> reader_;
  CalendarWorker worker_;  // declared last: gone before anything its reads might touch
};

}  // namespace vorlane
