#pragma once

#include "ui/kit/url_opener.h"

namespace vorlane {

// Through QDesktopServices, which asks xdg-open (or the portal inside a sandbox). An invalid
// or empty address is refused without asking.
class DesktopUrlOpener final : public UrlOpener {
 public:
  [[nodiscard]] bool open(const QUrl& url) override;
};

}  // namespace vorlane
