#pragma once

#include <cstddef>
#include <exception>
#include <string>

namespace vorlane {

// A change to the reminders refused because the list would no longer fit in a file that can
// be read back. Its sentence says how many reminders the list holds.
class ReminderListFullError : public std::exception {
 public:
  explicit ReminderListFullError(std::size_t count);

  std::size_t count() const { return count_; }
  const char* what() const noexcept override { return sentence_.c_str(); }

 private:
  std::size_t count_;
  std::string sentence_;
};

}  // namespace vorlane
