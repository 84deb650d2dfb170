#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "core/contracts/stored_document.h"

namespace vorlane {

// A stored document held in memory. A test can make it unreadable (as a corrupt file left
// at launch), make saves fail (as a full disk) and make clearing fail (as a file that
// cannot be removed); it counts saves.
template <class T>
class InMemoryDocument final : public StoredDocument<T> {
 public:
  explicit InMemoryDocument(T empty) : empty_(empty), value_(std::move(empty)) {}

  const T& value() const override { return value_; }
  const std::optional<std::string>& errorMessage() const override { return errorMessage_; }

  void save(T newValue) override {
    if (errorMessage_) throw std::runtime_error("stored data could not be read");
    if (savesFail) throw std::runtime_error("the disk is full");
    value_ = std::move(newValue);
    ++saves;
  }

  void clear() override {
    if (clearFails) throw std::runtime_error("the stored data could not be removed");
    value_ = empty_;
    errorMessage_.reset();
  }

  // As a record that could not be read at launch: the value is the empty one.
  void makeUnreadable() {
    value_ = empty_;
    errorMessage_ = "Saved data could not be read and was preserved.";
  }
  // Replaces the stored value without counting a save, as one found at launch.
  void put(T value) { value_ = std::move(value); }

  bool savesFail = false;
  bool clearFails = false;
  int saves = 0;

 private:
  T empty_;
  T value_;
  std::optional<std::string> errorMessage_;
};

}  // namespace vorlane
