#include "app/WebEngineSetup.h"

#include <QCoreApplication>

#include "app/PageScheme.h"

namespace hv {

void PrepareWebEngine() {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  RegisterPageScheme();
}

}  // namespace hv
