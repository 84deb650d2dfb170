#include "platform/calendar/ics_availability_source.h"

#include <QMetaObject>
#include <QPointer>

#include "platform/persistence/file_error.h"

namespace vorlane {

namespace {

const char* const noAccessSentence = "Vorlane has not been allowed to read your calendars.";

std::vector<std::string> folderNames(const CalendarReader& reader) {
  std::vector<std::string> names;
  if (reader.folders()) {
    names.push_back(reader.folders()->calendars.string());
    names.push_back(reader.folders()->evolution.string());
  }
  return names;
}

}  // namespace

IcsAvailabilitySource::IcsAvailabilitySource(RecordStore& defaults, ConsentPrompt& prompt,
                                             CalendarReader reader, QObject* parent)
    : QObject(parent),
      consent_(defaults),
      prompt_(prompt),
      reader_(std::make_shared<const CalendarReader>(std::move(reader))),
      worker_(new QObject) {
  thread_.setObjectName(QStringLiteral("CalendarReader"));
  worker_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  thread_.start();
}

IcsAvailabilitySource::~IcsAvailabilitySource() {
  thread_.quit();
  thread_.wait();
}

CalendarAccess IcsAvailabilitySource::access() const { return consent_.access(); }

void IcsAvailabilitySource::later(std::function<void()> deliver) {
  QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
}

void IcsAvailabilitySource::requestAccess(AccessCompletion completion) {
  auto answered = std::make_shared<bool>(false);
  QPointer<IcsAvailabilitySource> self(this);
  prompt_.ask(folderNames(*reader_), [self, answered, completion](ConsentPrompt::Answer answer) {
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
  // The worker never outlives this object (the destructor waits for it), so it may post
  // back to `this`; a delivery still queued when this object goes is dropped with it.
  QMetaObject::invokeMethod(
      worker_,
      [this, reader = reader_, interval, completion] {
        std::vector<BusyInterval> intervals;
        std::exception_ptr error;
        try {
          intervals = reader->read(interval);
        } catch (...) {
          error = std::current_exception();
        }
        QMetaObject::invokeMethod(
            this,
            [completion, intervals = std::move(intervals), error] { completion(intervals, error); },
            Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}

}  // namespace vorlane
