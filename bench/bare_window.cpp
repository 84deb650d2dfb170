// The yardstick of the application benchmark: a translucent, frameless, always-on-top tool
// window of the given size at the right edge of the screen, which does nothing at all.

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <cstdlib>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const int width = argc > 1 ? std::atoi(argv[1]) : 200;
  const int height = argc > 2 ? std::atoi(argv[2]) : 600;
  QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                              Qt::WindowDoesNotAcceptFocus);
  window.setAttribute(Qt::WA_TranslucentBackground);
  window.setAttribute(Qt::WA_ShowWithoutActivating);
  window.setWindowTitle(QStringLiteral("bare window"));
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  window.setGeometry(screen.right() - width + 1, screen.top(), width, height);
  window.show();
  return QApplication::exec();
}
