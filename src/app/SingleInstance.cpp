#include "app/SingleInstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QtEndian>
#include <utility>

#include "platform/UserIdentity.h"

namespace hv {
namespace {

// A running instance answers at once unless it is stuck; a later start waits no longer.
constexpr int kConnectMs = 2000;
constexpr int kAnswerMs = 10000;
// Far beyond any list of paths; a longer message is no handover.
constexpr quint32 kLongestMessage = 64u << 20;
constexpr char kTaken = '1';
constexpr int kLengthBytes = sizeof(quint32);

}  // namespace

QString MeetingPointName() {
  const QString name = QString::fromStdString("hushvault-" + UserIdentity());
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  return runtime.isEmpty() ? name : QFile::decodeName(runtime) + '/' + name;
}

SingleInstance::SingleInstance(QString name) : name_(std::move(name)) {
  // Only this user may hand files over, wherever the socket lies.
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
      Serve(client);
    }
  });
}

SingleInstance::Start SingleInstance::Begin(const std::vector<FileToOpen>& files) {
  const QByteArray message = EncodeFiles(files);
  const Start handed = HandOver(message);
  if (handed != Start::kFirst || Listen()) {
    return handed;
  }
  // Another start may have become the instance a moment ago.
  const Start again = HandOver(message);
  if (again != Start::kFirst) {
    return again;
  }
  // Nobody answers at the socket: its instance ended without removing it.
  QLocalServer::removeServer(name_);
  Listen();
  return Start::kFirst;
}

SingleInstance::Start SingleInstance::HandOver(const QByteArray& message) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(kConnectMs)) {
    return Start::kFirst;
  }
  QByteArray framed(kLengthBytes, '\0');
  qToBigEndian(static_cast<quint32>(message.size()), framed.data());
  socket.write(framed + message);
  if (!socket.waitForBytesWritten(kAnswerMs)) {
    return Start::kNoAnswer;
  }
  while (socket.bytesAvailable() == 0) {
    if (!socket.waitForReadyRead(kAnswerMs)) {
      return Start::kNoAnswer;
    }
  }
  return socket.read(1) == QByteArray(1, kTaken) ? Start::kHandedOver : Start::kNoAnswer;
}

bool SingleInstance::Listen() {
  return server_.listen(name_);
}

void SingleInstance::Serve(QLocalSocket* client) {
  connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
  const auto take = [this, client] {
    if (client->bytesAvailable() < kLengthBytes) {
      return;
    }
    const quint32 length = qFromBigEndian<quint32>(client->peek(kLengthBytes).constData());
    if (length > kLongestMessage) {
      client->abort();
      return;
    }
    if (client->bytesAvailable() < kLengthBytes + static_cast<qint64>(length)) {
      return;
    }
    client->read(kLengthBytes);
    const std::optional<std::vector<FileToOpen>> files = DecodeFiles(client->read(length));
    if (!files) {
      client->abort();  // not from a start of this program: it gets no answer
      return;
    }
    client->write(QByteArray(1, kTaken));
    client->flush();
    client->disconnectFromServer();
    Deliver(*files);
  };
  connect(client, &QLocalSocket::readyRead, this, take);
  take();  // what came before the connection was made
}

void SingleInstance::Deliver(const std::vector<FileToOpen>& files) {
  if (receiver_) {
    receiver_(files);
  } else {
    waiting_.push_back(files);
  }
}

void SingleInstance::SetReceiver(Receiver receiver) {
  receiver_ = std::move(receiver);
  for (const std::vector<FileToOpen>& files : std::exchange(waiting_, {})) {
    receiver_(files);
  }
}

}  // namespace hv
