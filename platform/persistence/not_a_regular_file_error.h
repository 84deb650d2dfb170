#pragma once

#include <filesystem>
#include <string>

#include "platform/persistence/local_json_document.h"

namespace vorlane {

// A save refused because the stored file is a link whose target is not a regular file (a
// device, a FIFO, a socket, a folder): the link and its target are kept as they are. Its case
// is notAFile; its sentence names the target.
class NotARegularFileError final : public LocalJSONDocumentError {
 public:
  explicit NotARegularFileError(std::filesystem::path target);

  const std::filesystem::path& target() const { return target_; }
  const char* what() const noexcept override { return sentence_.c_str(); }

 private:
  std::filesystem::path target_;
  std::string sentence_;
};

}  // namespace vorlane
