#include "platform/persistence/not_a_regular_file_error.h"

#include <utility>

#include "foundation/text.h"

namespace vorlane {

NotARegularFileError::NotARegularFileError(std::filesystem::path target)
    : LocalJSONDocumentError(LocalJSONDocumentFailure::notAFile),
      target_(std::move(target)),
      sentence_(isolated(target_.string()) +
                " is not a regular file, so the change could not be saved. Nothing was changed.") {}

}  // namespace vorlane
