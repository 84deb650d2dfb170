#pragma once

#include <cerrno>
#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "core/contracts/stored_document.h"
#include "foundation/json.h"
#include "foundation/sentence_error.h"
#include "platform/logging/log.h"
#include "platform/persistence/carried_members.h"
#include "platform/persistence/json_coding.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

enum class LocalJSONDocumentFailure {
  unreadable,
  invalid,
  diskFull,
  notWritable,
  notAFolder,
  notAFile,
  notWritten,
  notCleared,
};

// The sentence shown to the user for a failure.
inline std::string_view describe(LocalJSONDocumentFailure failure) {
  switch (failure) {
    case LocalJSONDocumentFailure::unreadable:
      return "Saved data could not be read and was preserved. Clear this record explicitly to "
             "start over.";
    case LocalJSONDocumentFailure::invalid:
      return "The change contains invalid data. Nothing was saved.";
    case LocalJSONDocumentFailure::diskFull:
      return "The disk is full, so the change could not be saved. Nothing was changed.";
    case LocalJSONDocumentFailure::notWritable:
      return "Vorlane may not write to its data folder, so the change could not be saved. "
             "Nothing was changed.";
    case LocalJSONDocumentFailure::notAFolder:
      return "Vorlane's data folder is not a folder, so the change could not be saved. Nothing "
             "was changed.";
    case LocalJSONDocumentFailure::notAFile:
      return "Vorlane's saved file is a link to something that is not a regular file, so the "
             "change could not be saved. Nothing was changed.";
    case LocalJSONDocumentFailure::notWritten:
      return "The change could not be written to disk. Nothing was changed.";
    case LocalJSONDocumentFailure::notCleared:
      return "The saved data could not be cleared. Nothing was changed.";
  }
  return {};
}

// The sentence for a write that failed with the system's `error` number.
inline LocalJSONDocumentFailure writeFailure(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return LocalJSONDocumentFailure::diskFull;
    case EROFS:
    case EACCES:
    case EPERM:
      return LocalJSONDocumentFailure::notWritable;
    case ENOTDIR:
      return LocalJSONDocumentFailure::notAFolder;
    default:
      return LocalJSONDocumentFailure::notWritten;
  }
}

// Thrown by LocalJSONDocument::save for a refused save.
using LocalJSONDocumentError = SentenceError<LocalJSONDocumentFailure>;

// One value of type T kept as JSON under one record-store key. Stored bytes that cannot be
// read (or that the validation rule rejects) are never overwritten: the document then
// refuses every save until clear() moves them aside. Members a newer version stored that
// this one does not read are written back unchanged. Main thread only.
template <class T>
class LocalJSONDocument final : public StoredDocument<T> {
 public:
  using Failure = LocalJSONDocumentFailure;
  using Error = LocalJSONDocumentError;
  using Validate = std::function<bool(const T&)>;

  // Loads at once; never throws. A null `recordStore` keeps the value in memory only. Without
  // `validate`, every value is accepted.
  LocalJSONDocument(RecordStore* recordStore, std::string key, T empty, Validate validate = {})
      : recordStore_(recordStore),
        key_(std::move(key)),
        empty_(std::move(empty)),
        validate_(validate ? std::move(validate) : Validate([](const T&) { return true; })),
        value_(empty_) {
    load();
  }

  const std::string& key() const { return key_; }
  const T& empty() const { return empty_; }
  const T& value() const override { return value_; }
  // Set while the stored bytes could not be read; saves are refused meanwhile.
  const std::optional<std::string>& errorMessage() const override { return errorMessage_; }

  // Validates, encodes and stores `newValue`, then makes it the value. Throws Error
  // (unreadable while blocked, invalid when rejected, or the write's failure in words, its
  // system reason logged), or the encoder's EncodingError; after any of them nothing is
  // stored and the value is unchanged.
  void save(T newValue) override {
    if (errorMessage_) throw Error(Failure::unreadable);
    if (!validate_(newValue)) throw Error(Failure::invalid);
    const Json written = JsonCoding<T>::encode(newValue);
    if (recordStore_ != nullptr) {
      Json stored = carried_.carriedInto(written);
      try {
        recordStore_->setData(key_, json::dump(stored));
      } catch (const std::system_error& error) {
        Log::lifecycle().error("could not save %{public}s: %{public}s", key_, error.what());
        throw Error(writeFailure(error.code().value()));
      }
      carried_.wrote(std::move(stored), written);
    }
    value_ = std::move(newValue);
  }

  // Resets the value to `empty` and forgets the load problem. Readable bytes are removed;
  // bytes that could not be read (or anything else standing in the record's place) are moved
  // aside, where the log says. Throws Error (notCleared, the reason logged) when they could
  // be neither removed nor moved, as a failed save does: they are still stored, so the value
  // and any load problem stay as they were.
  void clear() override {
    if (recordStore_ != nullptr) {
      if (errorMessage_) {
        try {
          if (const auto where = recordStore_->setAside(key_)) {
            Log::lifecycle().error("unreadable record %{public}s moved aside to %{public}s", key_,
                                   *where);
          }
        } catch (const std::exception& error) {
          Log::lifecycle().error("could not move aside %{public}s: %{public}s", key_, error.what());
          throw Error(Failure::notCleared);
        }
      } else if (!recordStore_->remove(key_)) {
        Log::lifecycle().error("could not remove the stored record %{public}s", key_);
        throw Error(Failure::notCleared);
      }
    }
    value_ = empty_;
    errorMessage_.reset();
    carried_ = CarriedMembers();
  }

 private:
  void load() {
    if (recordStore_ == nullptr) return;
    const StoredData stored = recordStore_->data(key_);
    if (stored.isMissing()) return;
    if (stored.hasValue()) {
      try {
        const Json document = json::parse(stored.bytes());
        T decoded = JsonCoding<T>::decode(document);
        if (validate_(decoded)) {
          carried_.read(document, JsonCoding<T>::encode(decoded));
          value_ = std::move(decoded);
          return;
        }
      } catch (const std::exception&) {
        // Falls through to the blocked state below.
      }
    }
    errorMessage_ = std::string(describe(Failure::unreadable));
  }

  RecordStore* recordStore_;
  std::string key_;
  T empty_;
  Validate validate_;
  T value_;
  std::optional<std::string> errorMessage_;
  CarriedMembers carried_;
};

}  // namespace vorlane
