#include "ui/kit/desktop_url_opener.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <vector>

namespace vorlane {
namespace {

// Stands in for the desktop's handler of one scheme.
class SchemeHandler final : public QObject {
  Q_OBJECT
 public:
  std::vector<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened.push_back(url); }
};

TEST(DesktopUrlOpener, HandsAnAddressToTheDesktopAndRefusesAnInvalidOne) {
  SchemeHandler handler;
  QDesktopServices::setUrlHandler(QStringLiteral("vorlane-test"), &handler, "open");
  DesktopUrlOpener opener;
  const QUrl page(QStringLiteral("vorlane-test://calendars/"));
  EXPECT_TRUE(opener.open(page));
  EXPECT_FALSE(opener.open(QUrl()));
  EXPECT_FALSE(opener.open(QUrl(QStringLiteral("http://[broken"))));
  QDesktopServices::unsetUrlHandler(QStringLiteral("vorlane-test"));
  EXPECT_EQ(handler.opened, std::vector<QUrl>{page});
}

}  // namespace
}  // namespace vorlane

#include "desktop_url_opener_test.moc"
