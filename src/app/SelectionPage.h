#pragma once

#include <QWebEngineView>

class QWebEngineProfile;

namespace hv {

// A browser control that shows one selection page and reports whether its newest
// navigation has finished.
class SelectionPage : public QWebEngineView {
  Q_OBJECT

 public:
  SelectionPage(QWebEngineProfile& profile, QWidget* parent = nullptr);

  // Starts showing the page file at path.
  void Navigate(const QString& path);

  // True once the newest navigation has ended, in success or failure. A page that
  // never answers is given up after a while and counts as complete too, so that no
  // wait for it can last forever.
  bool IsComplete() const { return complete_; }

 private:
  void Finish(quint64 serial);

  quint64 serial_ = 0;
  bool complete_ = true;
};

}  // namespace hv
