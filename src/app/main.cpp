#include <QApplication>

#include "app/frmMain.h"

int main(int argc, char* argv[]) {
  // The web views of the selection pages share the window's OpenGL context.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  QApplication::setApplicationName("Hushvault");
  QApplication::setApplicationVersion("1.7.23");
  hv::frmMain window;
  window.show();
  return QApplication::exec();
}
