#pragma once

#include <QPointer>
#include <QString>
#include <QVariant>

#include "ports/SelectionDocument.h"

class QWebEnginePage;

namespace hv {

// The selection document of a live page: every question runs a script in the page and
// waits for its answer, so that callers see plain synchronous calls. Throws
// std::runtime_error when the page is gone or does not answer.
class WebSelectionDocument : public SelectionDocument {
 public:
  explicit WebSelectionDocument(QWebEnginePage& page);

  bool IsCheckedByKey(const std::string& key) override;
  int CheckBoxCount() override;
  bool CheckBoxState(int position) override;
  void ClickCheckBox(int position) override;

  // Runs script, the body of a function, in the page and returns what it returns.
  QVariant Evaluate(const QString& script);

 private:
  QPointer<QWebEnginePage> page_;
};

}  // namespace hv
