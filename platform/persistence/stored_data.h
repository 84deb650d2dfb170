#pragma once

#include <string>
#include <utility>

namespace vorlane {

// The outcome of reading one stored record: its bytes, nothing stored, or stored but not
// readable. Unreadable is never the same as missing: what could not be read must not be
// overwritten as if it were absent.
class StoredData {
 public:
  enum class Status { value, missing, unreadable };

  static StoredData value(std::string bytes) { return {Status::value, std::move(bytes)}; }
  static StoredData missing() { return {Status::missing, {}}; }
  static StoredData unreadable(std::string reason) {
    return {Status::unreadable, std::move(reason)};
  }

  Status status() const { return status_; }
  bool hasValue() const { return status_ == Status::value; }
  bool isMissing() const { return status_ == Status::missing; }
  bool isUnreadable() const { return status_ == Status::unreadable; }

  // The stored bytes; empty unless hasValue().
  const std::string& bytes() const { return hasValue() ? text_ : none(); }
  // Why the record could not be read; empty unless isUnreadable().
  const std::string& reason() const { return isUnreadable() ? text_ : none(); }

 private:
  StoredData(Status status, std::string text) : status_(status), text_(std::move(text)) {}
  static const std::string& none() {
    static const std::string empty;
    return empty;
  }

  Status status_;
  std::string text_;
};

}  // namespace vorlane
