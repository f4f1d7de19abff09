#include "app/PageScheme.h"

#include <QBuffer>
#include <QFile>
#include <QUrlQuery>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

namespace hv {
namespace {

constexpr char kScheme[] = "hvpage";

// What a page file that cannot be read shows instead: no check boxes, and a note saying
// which file is missing.
QByteArray MissingPageHtml(const QString& path) {
  return QStringLiteral(
             "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><style>"
             "body{font-family:sans-serif;font-size:10pt;color:#555;margin:16px}"
             "</style></head><body><p>This selection page could not be loaded:</p>"
             "<p><code>%1</code></p></body></html>")
      .arg(path.toHtmlEscaped())
      .toUtf8();
}

class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
 public:
  using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

  void requestStarted(QWebEngineUrlRequestJob* job) override {
    const QString path = job->requestUrl().path();
    QFile file(path);
    QByteArray html = file.open(QIODevice::ReadOnly) ? file.readAll() : MissingPageHtml(path);
    auto* body = new QBuffer(job);
    body->setData(html);
    job->reply("text/html", body);
  }
};

}  // namespace

void RegisterPageScheme() {
  QWebEngineUrlScheme scheme(kScheme);
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
  scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
  QWebEngineUrlScheme::registerScheme(scheme);
}

void InstallPageScheme(QWebEngineProfile& profile) {
  profile.installUrlSchemeHandler(kScheme, new PageSchemeHandler(&profile));
}

QUrl PageUrl(const QString& path, quint64 serial) {
  QUrl url;
  url.setScheme(kScheme);
  url.setPath(path);
  url.setQuery(QStringLiteral("load=%1").arg(serial));
  return url;
}

}  // namespace hv
