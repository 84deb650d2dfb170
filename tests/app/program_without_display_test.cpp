#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace vorlane {
namespace {

// The real program, started with no display at all, says so and fails, never crashes.
TEST(Program, WithoutAnyDisplayItSaysSoOnStderrAndExitsNonZero) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(QString::fromLatin1(name));
  }
  QProcess program;
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(VORLANE_PROGRAM), {});
  ASSERT_TRUE(program.waitForFinished(20000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  const QString errors = QString::fromUtf8(program.readAllStandardError());
  EXPECT_TRUE(errors.contains(QStringLiteral("vorlane: no display found"))) << errors.toStdString();
  EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}

}  // namespace
}  // namespace vorlane
