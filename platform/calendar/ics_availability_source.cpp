#include "platform/calendar/ics_availability_source.h"

#include <QMetaObject>
#include <QPointer>

#include "platform/persistence/file_error.h"

namespace vorlane {

namespace {

const char* const noAccessSentence = "Vorlane has not been allowed to read your calendars.";

}  // namespace

IcsAvailabilitySource::IcsAvailabilitySource(RecordStore& recordStore, ConsentPrompt& prompt,
                                             std::shared_ptr<const BusyReader> reader,
                                             QObject* parent)
    : QObject(parent),
      consent_(recordStore),
      prompt_(prompt),
      reader_(std::move(reader)),
      worker_(this) {}

IcsAvailabilitySource::~IcsAvailabilitySource() = default;

CalendarAccess IcsAvailabilitySource::access() const { return consent_.access(); }

void IcsAvailabilitySource::later(std::function<void()> deliver) {
  QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
}

void IcsAvailabilitySource::requestAccess(AccessCompletion completion) {
  auto answered = std::make_shared<bool>(false);
  QPointer<IcsAvailabilitySource> self(this);
  prompt_.ask(reader_->places(), [self, answered, completion](ConsentPrompt::Answer answer) {
    // A prompt that answers twice, or after the source has gone, is not listened to.
    if (*answered || self.isNull()) return;
    *answered = true;
    if (answer == ConsentPrompt::Answer::dismissed) {
      self->later([completion] { completion(false, nullptr); });
      return;
    }
    const bool granted = answer == ConsentPrompt::Answer::granted;
    std::exception_ptr error;
    try {
      self->consent_.store(granted);
    } catch (...) {
      error = std::current_exception();
    }
    self->later([completion, granted, error] { completion(error ? false : granted, error); });
  });
}

void IcsAvailabilitySource::busyIntervals(DateInterval interval, BusyCompletion completion) {
  if (access() != CalendarAccess::granted) {
    const auto error =
        std::make_exception_ptr(FileError(FileErrorCode::readNoPermission, noAccessSentence));
    later([completion, error] { completion({}, error); });
    return;
  }
  // The job holds the reader, not this object: a read abandoned at quit still has it.
  worker_.run([reader = reader_, interval, completion](const CancelToken& cancel) {
    std::vector<BusyInterval> intervals;
    std::exception_ptr error;
    try {
      intervals = reader->read(interval, cancel);
    } catch (...) {
      error = std::current_exception();
    }
    return CalendarWorker::Delivery(
        [completion, intervals = std::move(intervals), error] { completion(intervals, error); });
  });
}

}  // namespace vorlane
