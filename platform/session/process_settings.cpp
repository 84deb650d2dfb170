#include "platform/session/process_settings.h"

#include <malloc.h>

namespace vorlane {

void applyProcessSettings() {
  // The few threads (the X event queue, the bus) allocate little and never at the same time:
  // one heap serves them all, rather than a heap of its own each.
  mallopt(M_ARENA_MAX, 1);
}

}  // namespace vorlane
