#include "app/BackgroundRun.h"

#include <QEventLoop>
#include <QMetaObject>
#include <exception>
#include <thread>

#include "app/frmProgress.h"

namespace hv {

void RunInBackground(const std::function<void()>& run, ProgressFeed feed, QWidget& window) {
  frmProgress progress(std::move(feed), &window);
  progress.show();
  QEventLoop loop;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      run();
    } catch (...) {
      failure = std::current_exception();
    }
    // Queued, so that a quit sent before the loop starts still ends it.
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  if (failure) {
    std::rethrow_exception(failure);
  }
}

}  // namespace hv
