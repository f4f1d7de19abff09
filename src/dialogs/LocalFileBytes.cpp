#include "dialogs/LocalFileBytes.h"

#include <QFile>

namespace hv {

std::string LocalFileBytes(const QUrl& url) {
  const QString text = url.toLocalFile();
  if (!text.contains(QChar::ReplacementCharacter)) {
    return QFile::encodeName(text).toStdString();
  }
  return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

}  // namespace hv
