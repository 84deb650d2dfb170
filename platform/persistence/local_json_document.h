#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "core/contracts/stored_document.h"
#include "foundation/json.h"
#include "foundation/sentence_error.h"
#include "platform/persistence/json_coding.h"
#include "platform/persistence/record_store.h"

namespace vorlane {

enum class LocalJSONDocumentFailure { unreadable, invalid };

// The sentence shown to the user for a failure.
inline std::string_view describe(LocalJSONDocumentFailure failure) {
  switch (failure) {
    case LocalJSONDocumentFailure::unreadable:
      return "Saved data could not be read and was preserved. Clear this record explicitly to "
             "start over.";
    case LocalJSONDocumentFailure::invalid:
      return "The change contains invalid data. Nothing was saved.";
  }
  return {};
}

// Thrown by LocalJSONDocument::save for a refused save.
using LocalJSONDocumentError = SentenceError<LocalJSONDocumentFailure>;

// One value of type T kept as JSON under one record-store key. Stored bytes that cannot be
// read (or that the validation rule rejects) are never overwritten: the document then
// refuses every save until clear() is called. Main thread only.
template <class T>
class LocalJSONDocument final : public StoredDocument<T> {
 public:
  using Failure = LocalJSONDocumentFailure;
  using Error = LocalJSONDocumentError;
  using Validate = std::function<bool(const T&)>;

  // Loads at once; never throws. A null `defaults` keeps the value in memory only. Without
  // `validate`, every value is accepted.
  LocalJSONDocument(RecordStore* defaults, std::string key, T empty, Validate validate = {})
      : defaults_(defaults),
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
  // (unreadable while blocked, invalid when rejected), the encoder's EncodingError, or the
  // database's write error; after any of them nothing is stored and the value is unchanged.
  void save(T newValue) override {
    if (errorMessage_) throw Error(Failure::unreadable);
    if (!validate_(newValue)) throw Error(Failure::invalid);
    const std::string bytes = json::dump(JsonCoding<T>::encode(newValue));
    if (defaults_ != nullptr) defaults_->setData(key_, bytes);
    value_ = std::move(newValue);
  }

  // Removes the stored bytes, resets the value to `empty` and forgets the load problem.
  // Throws std::runtime_error when the bytes could not be removed, as a failed save does:
  // they are still stored, so the value and any load problem stay as they were.
  void clear() override {
    if (defaults_ != nullptr && !defaults_->remove(key_)) {
      throw std::runtime_error("could not remove the stored record \"" + key_ + "\"");
    }
    value_ = empty_;
    errorMessage_.reset();
  }

 private:
  void load() {
    if (defaults_ == nullptr) return;
    const StoredData stored = defaults_->data(key_);
    if (stored.isMissing()) return;
    if (stored.hasValue()) {
      try {
        T decoded = JsonCoding<T>::decode(json::parse(stored.bytes()));
        if (validate_(decoded)) {
          value_ = std::move(decoded);
          return;
        }
      } catch (const std::exception&) {
        // Falls through to the blocked state below.
      }
    }
    errorMessage_ = std::string(describe(Failure::unreadable));
  }

  RecordStore* defaults_;
  std::string key_;
  T empty_;
  Validate validate_;
  T value_;
  std::optional<std::string> errorMessage_;
};

}  // namespace vorlane
