#pragma once

#include <QUrl>

namespace vorlane {

// Hands an address (a web page, a folder as a file:// URL) to the desktop's own handler.
class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  // False when the desktop found nothing to open it with; nothing else happens then.
  [[nodiscard]] virtual bool open(const QUrl& url) = 0;
};

}  // namespace vorlane
