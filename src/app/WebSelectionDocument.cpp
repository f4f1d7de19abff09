#include "app/WebSelectionDocument.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <memory>
#include <stdexcept>

namespace hv {
namespace {

constexpr int kAnswerTimeoutMs = 10000;

// The check boxes in document order: INPUT elements whose type the page reports as
// "checkbox" (the page reports it in lower case however the file writes it).
const QString kBoxes = QStringLiteral(
    "Array.prototype.filter.call(document.all, function (e) {"
    "  return e.tagName === 'INPUT' && e.type === 'checkbox'; })");

// A JavaScript string literal holding text, whatever characters it contains.
QString JsString(const std::string& text) {
  const QByteArray json =
      QJsonDocument(QJsonArray{QString::fromUtf8(text.data(), qsizetype(text.size()))})
          .toJson(QJsonDocument::Compact);
  return QString::fromUtf8(json.mid(1, json.size() - 2));
}

// Scripts report failure as a string starting with this, since the page's answer
// carries no exception.
const QString kFailure = QStringLiteral("hv-error:");

QString Guarded(const QString& body) {
  return QStringLiteral("(function () { try { %1 } catch (e) { return '%2' + e; } })()")
      .arg(body, kFailure);
}

}  // namespace

WebSelectionDocument::WebSelectionDocument(QWebEnginePage& page) : page_(&page) {}

QVariant WebSelectionDocument::Evaluate(const QString& script) {
  if (page_.isNull()) {
    throw std::runtime_error("The selection page is gone.");
  }
  struct Answer {
    bool arrived = false;
    QVariant value;
    QPointer<QEventLoop> loop;
  };
  auto answer = std::make_shared<Answer>();
  QEventLoop loop;
  answer->loop = &loop;
  QTimer timeout;
  timeout.setSingleShot(true);
  QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
  page_->runJavaScript(Guarded(script), QWebEngineScript::ApplicationWorld,
                       [answer](const QVariant& value) {
                         answer->arrived = true;
                         answer->value = value;
                         if (answer->loop) {
                           answer->loop->quit();
                         }
                       });
  if (!answer->arrived) {
    timeout.start(kAnswerTimeoutMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  }
  answer->loop = nullptr;
  if (!answer->arrived) {
    throw std::runtime_error("The selection page did not answer.");
  }
  if (answer->value.typeId() == QMetaType::QString &&
      answer->value.toString().startsWith(kFailure)) {
    throw std::runtime_error(answer->value.toString().mid(kFailure.size()).toStdString());
  }
  return answer->value;
}

bool WebSelectionDocument::IsCheckedByKey(const std::string& key) {
  // A key held by several elements comes back as a collection, which has no tag name
  // and so counts as not checked.
  return Evaluate(QStringLiteral("var e = document.all.namedItem(%1);"
                                 "return !!(e && e.tagName && e.checked === true);")
                      .arg(JsString(key)))
      .toBool();
}

int WebSelectionDocument::CheckBoxCount() {
  return Evaluate(QStringLiteral("return %1.length;").arg(kBoxes)).toInt();
}

bool WebSelectionDocument::CheckBoxState(int position) {
  const QVariant state =
      Evaluate(QStringLiteral("var b = %1[%2]; if (!b) throw 'no check box at position %2';"
                              "return b.checked === true;")
                   .arg(kBoxes)
                   .arg(position));
  return state.toBool();
}

void WebSelectionDocument::ClickCheckBox(int position) {
  Evaluate(QStringLiteral("var b = %1[%2]; if (!b) throw 'no check box at position %2';"
                          "b.click(); return true;")
               .arg(kBoxes)
               .arg(position));
}

}  // namespace hv
