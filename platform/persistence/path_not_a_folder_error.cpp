#include "platform/persistence/path_not_a_folder_error.h"

#include <utility>

#include "foundation/text.h"

namespace vorlane {

PathNotAFolderError::PathNotAFolderError(std::filesystem::path part)
    : LocalJSONDocumentError(LocalJSONDocumentFailure::notAFolder),
      part_(std::move(part)),
      sentence_(isolated(part_.string()) +
                " is not a folder, so the change could not be saved. Nothing was changed.") {}

}  // namespace vorlane
