#pragma once

#include <QList>
#include <QObject>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

class QAbstractItemView;

namespace hv {

// The local files among urls, as path bytes (a name that is no text keeps its bytes);
// addresses of anything but a local file are passed over.
std::vector<std::string> LocalFilesOf(const QList<QUrl>& urls);

// Lets a list take files dragged onto it from a file manager. A drag that carries no
// local file is refused, so the pointer shows that it cannot be dropped there.
class FileDrops : public QObject {
 public:
  using Receiver = std::function<void(const std::vector<std::string>&)>;

  FileDrops(QAbstractItemView& list, Receiver dropped);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Receiver dropped_;
};

}  // namespace hv
