#pragma once

#include <stdexcept>
#include <string>

namespace vorlane {

// A failure that carries one of the numeric file-error codes the application's records and
// services report, with a sentence of our own that users may see.
class FileError : public std::runtime_error {
 public:
  // The item asked for does not exist.
  static constexpr int noSuchFile = 4;
  // Reading is not permitted.
  static constexpr int fileReadNoPermission = 257;
  // The stored data could not be read.
  static constexpr int fileReadCorruptFile = 259;

  FileError(int code, const std::string& sentence) : std::runtime_error(sentence), code_(code) {}

  int code() const { return code_; }

 private:
  int code_;
};

}  // namespace vorlane
