// The yardstick for the calculator's start-up benchmark: the least a Qt 6
// Widgets program can do to put a top-level window on the screen. Built only
// for bench/startup.sh; nothing else links it.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("bare");
  window.resize(274, 191);
  window.show();
  return app.exec();
}
