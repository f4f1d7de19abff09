#include "app/FileDrops.h"

#include <QAbstractItemView>
#include <QDropEvent>
#include <QMimeData>

namespace hv {

std::vector<std::string> LocalFilesOf(const QList<QUrl>& urls) {
  std::vector<std::string> paths;
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) {
      continue;
    }
    // Decoded from the address's own percent-encoding: the bytes the file manager put in.
    const QByteArray path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (!path.isEmpty()) {
      paths.push_back(path.toStdString());
    }
  }
  return paths;
}

FileDrops::FileDrops(QAbstractItemView& list, Receiver dropped)
    : QObject(&list), dropped_(std::move(dropped)) {
  list.setAcceptDrops(true);
  list.viewport()->setAcceptDrops(true);
  list.viewport()->installEventFilter(this);
}

bool FileDrops::eventFilter(QObject* /*watched*/, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDropEvent*>(event);
      if (!LocalFilesOf(drag->mimeData()->urls()).empty()) {
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
      } else {
        drag->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const std::vector<std::string> paths = LocalFilesOf(drop->mimeData()->urls());
      if (paths.empty()) {
        drop->ignore();
        return true;
      }
      // The file manager keeps its files: they are only named here.
      drop->setDropAction(Qt::CopyAction);
      drop->accept();
      // After the drop has ended: what the files give rise to may ask the user, and the
      // file manager must not wait for that answer.
      QMetaObject::invokeMethod(
          this, [this, paths] { dropped_(paths); }, Qt::QueuedConnection);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace hv
