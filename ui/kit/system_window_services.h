#pragma once

#include "core/contracts/clock.h"
#include "ui/kit/desktop_url_opener.h"
#include "ui/kit/message_box_prompt.h"
#include "ui/kit/window_services.h"

namespace vorlane {

// The real window services: the system clock, the user's calendar read afresh each time,
// message boxes and the desktop's handler for addresses. Must outlive the windows it serves.
class SystemWindowServices {
 public:
  WindowServices services() { return {clock_, &Calendar::current, prompt_, opener_}; }

 private:
  SystemClock clock_;
  MessageBoxPrompt prompt_;
  DesktopUrlOpener opener_;
};

}  // namespace vorlane
