#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QString>
#include <functional>
#include <vector>

#include "app/OpenRequest.h"

namespace hv {

// One running window per user. A later start finds the running one by a local socket
// named for the user, hands it the files it was given (none: only to show itself) and
// ends; the running one takes them when its window is ready for them.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Start {
    kFirst,       // no other instance runs: this one now takes later starts' files
    kHandedOver,  // the running instance took the files
    kNoAnswer,    // an instance runs but did not take them
  };

  using Receiver = std::function<void(const std::vector<FileToOpen>&)>;

  // name: the socket's name or full path; see MeetingPointName.
  explicit SingleInstance(QString name);

  // Hands files to the running instance, or becomes it. A socket left behind by an instance
  // that ended without removing it is taken over.
  Start Begin(const std::vector<FileToOpen>& files);

  // Where files that arrive go from now on; those that came before go there at once.
  void SetReceiver(Receiver receiver);

 private:
  Start HandOver(const QByteArray& message);
  bool Listen();
  void Serve(QLocalSocket* client);
  void Deliver(const std::vector<FileToOpen>& files);

  QString name_;
  QLocalServer server_;
  Receiver receiver_;
  std::vector<std::vector<FileToOpen>> waiting_;
};

// The socket of this user's running instance: in the user's runtime folder when there is
// one, else by name in the system's temporary folder.
QString MeetingPointName();

}  // namespace hv
