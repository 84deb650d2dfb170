#pragma once

#include <optional>
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
  // Unreadable because the record is a symbolic link whose target cannot be reached (its
  // folder cannot be entered or is not a folder, or the links loop), with the system's error
  // number: not damaged data, so the link is to be kept as it is.
  static StoredData unreachable(int error, std::string reason) {
    StoredData data{Status::unreadable, std::move(reason)};
    data.unreachableError_ = error;
    return data;
  }

  Status status() const { return status_; }
  bool hasValue() const { return status_ == Status::value; }
  bool isMissing() const { return status_ == Status::missing; }
  bool isUnreadable() const { return status_ == Status::unreadable; }

  // The stored bytes; empty unless hasValue().
  const std::string& bytes() const { return hasValue() ? text_ : none(); }
  // Why the record could not be read; empty unless isUnreadable().
  const std::string& reason() const { return isUnreadable() ? text_ : none(); }
  // The system's error number when unreachable; none otherwise.
  const std::optional<int>& unreachableError() const { return unreachableError_; }

 private:
  StoredData(Status status, std::string text) : status_(status), text_(std::move(text)) {}
  static const std::string& none() {
    static const std::string empty;
    return empty;
  }

  Status status_;
  std::string text_;
  std::optional<int> unreachableError_;
};

}  // namespace vorlane
