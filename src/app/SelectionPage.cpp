#include "app/SelectionPage.h"

#include <QTimer>
#include <QUrlQuery>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include "app/PageScheme.h"

namespace hv {
namespace {

constexpr int kGiveUpMs = 20000;

quint64 SerialOf(const QUrl& url) {
  return QUrlQuery(url).queryItemValue("load").toULongLong();
}

}  // namespace

SelectionPage::SelectionPage(QWebEngineProfile& profile, QWidget* parent) : QWebEngineView(parent) {
  setPage(new QWebEnginePage(&profile, this));
  setContextMenuPolicy(Qt::NoContextMenu);
  connect(page(), &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
    if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus) {
      Finish(SerialOf(info.url()));
    }
  });
  connect(page(), &QWebEnginePage::renderProcessTerminated, this, [this] { Finish(serial_); });
}

void SelectionPage::Navigate(const QString& path) {
  complete_ = false;
  const quint64 serial = ++serial_;
  QTimer::singleShot(kGiveUpMs, this, [this, serial] { Finish(serial); });
  load(PageUrl(path, serial));
}

void SelectionPage::Finish(quint64 serial) {
  if (serial == serial_) {
    complete_ = true;
  }
}

}  // namespace hv
