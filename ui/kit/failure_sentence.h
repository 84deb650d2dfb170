#pragma once

#include <QString>
#include <exception>

namespace vorlane {

// The sentence a window shows for an action that threw: the error's own sentence, with the
// reminder parser's refusals worded as the reminder editor words them, or a general one when
// the error carries no words (or is not an exception at all).
QString failureSentence(std::exception_ptr error);

}  // namespace vorlane
