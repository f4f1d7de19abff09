#include "app/RunMainWindow.h"

#include <QApplication>

#include "app/frmMain.h"

namespace hv {

int RunMainWindow(frmMain& window, const std::function<void()>& afterLoad) {
  window.show();
  // A close during the load came before any event loop could end on it.
  if (!window.Load()) {
    return 0;
  }
  if (afterLoad) {
    afterLoad();
  }
  return QApplication::exec();
}

}  // namespace hv
