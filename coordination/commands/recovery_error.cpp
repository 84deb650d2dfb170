#include "coordination/commands/recovery_error.h"

namespace vorlane {

std::string_view describe(RecoveryErrorCase error) {
  switch (error) {
    case RecoveryErrorCase::noteTooLong:
      return "Keep your next step to 240 characters.";
  }
  return {};
}

}  // namespace vorlane
