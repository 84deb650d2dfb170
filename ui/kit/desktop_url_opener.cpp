#include "ui/kit/desktop_url_opener.h"

#include <QDesktopServices>

namespace vorlane {

bool DesktopUrlOpener::open(const QUrl& url) {
  if (!url.isValid() || url.isEmpty()) return false;
  return QDesktopServices::openUrl(url);
}

}  // namespace vorlane
