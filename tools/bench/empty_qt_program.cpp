// The yardstick for the Linux measurements: a Qt program that shows one
// notification icon and waits in the event loop, and does nothing else.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QPixmap picture(16, 16);
  picture.fill(Qt::gray);
  QSystemTrayIcon icon{QIcon(picture)};
  icon.show();
  return QApplication::exec();
}
