#pragma once

#include <functional>

#include "core/contracts/clock.h"
#include "foundation/calendar.h"
#include "ui/kit/confirmation_prompt.h"
#include "ui/kit/url_opener.h"

namespace vorlane {

// What a window needs of the world beyond its own arguments, handed in so that tests pin the
// time, the zone and locale, and answer the prompts. The referenced objects must outlive
// every window given them. `calendar` is asked afresh at each use: the user may change the
// zone or locale while a window is open.
struct WindowServices {
  const Clock& clock;
  std::function<Calendar()> calendar;
  ConfirmationPrompt& confirmation;
  UrlOpener& urls;
};

}  // namespace vorlane
