#pragma once

#include <string_view>

#include "foundation/sentence_error.h"

namespace vorlane {

// Why a next-step note was refused; the resume-note window shows the sentence.
enum class RecoveryErrorCase { noteTooLong };

std::string_view describe(RecoveryErrorCase error);

using RecoveryError = SentenceError<RecoveryErrorCase>;

}  // namespace vorlane
