#pragma once

#include <QString>
#include <QUrl>

class QWebEngineProfile;

namespace hv {

// Selection pages end in ".pick", which the web engine would not parse as HTML when given
// the file itself. They are served through a scheme of our own that reads the file and
// hands its bytes over as HTML.

// Must run before the QApplication is created.
void RegisterPageScheme();

// Serves the scheme for every page of the profile.
void InstallPageScheme(QWebEngineProfile& profile);

// The address of the page file at path; serial makes every navigation a distinct address
// so that the end of an older, abandoned load is never taken for the newest one.
QUrl PageUrl(const QString& path, quint64 serial);

}  // namespace hv
