#pragma once

#include <stdexcept>
#include <string>

namespace vorlane {

// What went wrong with a stored item, as the records and services report it.
enum class FileErrorCode {
  noSuchFile,        // the item asked for does not exist
  readNoPermission,  // reading is not permitted
  readCorruptFile,   // the stored data could not be read
};

// A failure with its code and a sentence of our own that users may see.
class FileError : public std::runtime_error {
 public:
  FileError(FileErrorCode code, const std::string& sentence)
      : std::runtime_error(sentence), code_(code) {}

  FileErrorCode code() const { return code_; }

 private:
  FileErrorCode code_;
};

}  // namespace vorlane
