#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QSvgRenderer>
#include <cstdlib>

namespace vorlane {
namespace {

// The installed icon draws a face on a transparent ground at any size a desktop asks for.
TEST(ApplicationIcon, RendersAFaceOnATransparentGround) {
  QSvgRenderer svg(QStringLiteral(VORLANE_RESOURCES "/com.corvantis.vorlane.svg"));
  ASSERT_TRUE(svg.isValid());
  for (int size : {16, 48, 128}) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << size;
    EXPECT_EQ(image.pixelColor(size / 2, size * 3 / 4).alpha(), 255) << size;
    if (const char* keep = std::getenv("VORLANE_KEEP_SCREENSHOTS")) {
      image.save(QString("%1/icon-%2.png").arg(keep).arg(size));
    }
  }
}

TEST(ApplicationEntry, NamesTheProgramAndItsIcon) {
  QSettings entry(QStringLiteral(VORLANE_RESOURCES "/com.corvantis.vorlane.desktop"),
                  QSettings::IniFormat);
  ASSERT_EQ(entry.status(), QSettings::NoError);
  entry.beginGroup("Desktop Entry");
  EXPECT_EQ(entry.value("Type").toString(), "Application");
  EXPECT_EQ(entry.value("Name").toString(), "Vorlane");
  EXPECT_EQ(entry.value("Exec").toString(), "vorlane");
  EXPECT_EQ(entry.value("Icon").toString(), "com.corvantis.vorlane") << "the installed icon's name";
}

}  // namespace
}  // namespace vorlane
