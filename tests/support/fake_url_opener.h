#pragma once

#include <QUrl>
#include <vector>

#include "ui/kit/url_opener.h"

namespace vorlane {

// Records what it was asked to open; answers `accepts` (true unless a test sets it).
class FakeUrlOpener final : public UrlOpener {
 public:
  bool open(const QUrl& url) override {
    opened.push_back(url);
    return accepts;
  }

  bool accepts = true;
  std::vector<QUrl> opened;
};

}  // namespace vorlane
