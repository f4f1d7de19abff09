#pragma once

#include <QUrl>
#include <string>

namespace hv {

// The bytes of the local file a dialog answered with. A name whose bytes are no text
// reads back from Qt with replacement characters, which reach no file; the URL keeps such
// bytes percent-encoded, and they are taken from there.
std::string LocalFileBytes(const QUrl& url);

}  // namespace hv
