#pragma once

#include <filesystem>
#include <string>

#include "platform/persistence/local_json_document.h"

namespace vorlane {

// A save refused because a part of the way to the file that is not Vorlane's data folder
// itself (the folder a link's target lies in, or one above the data folder) is not a folder:
// a file stands in its place. Its case is notAFolder, as for the data folder; its sentence
// names the part instead, since "Vorlane's data folder" would not be the cause.
class PathNotAFolderError final : public LocalJSONDocumentError {
 public:
  explicit PathNotAFolderError(std::filesystem::path part);

  const std::filesystem::path& part() const { return part_; }
  const char* what() const noexcept override { return sentence_.c_str(); }

 private:
  std::filesystem::path part_;
  std::string sentence_;
};

}  // namespace vorlane
