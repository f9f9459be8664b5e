#include "app/single_instance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

namespace fretlets {
namespace {

// A hand-over is one line: the path in UTF-8 and a newline. The running copy
// reads it without blocking, gives up on a line longer than this or one that
// does not arrive in time, and answers "ok" once it took it.
constexpr qsizetype kMaxHandOverBytes = 64 * 1024;
constexpr int kHandOverTimeoutMs = 3000;
constexpr int kConnectTimeoutMs = 1000;

}  // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)), server_(new QLocalServer(this)) {
  // Only this user may connect, so no other account can hand paths over.
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::readConnection);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName() {
  const QString file = QStringLiteral("fretlets-%1.socket").arg(getuid());
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return runtime.isEmpty() ? file : QDir(runtime).filePath(file);
}

SingleInstance::HandOver SingleInstance::handOver(const QString& name, const QString& path) {
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(kConnectTimeoutMs)) {
    return HandOver::NoRunningCopy;
  }
  socket.write(path.toUtf8() + '\n');
  socket.flush();
  // The running copy answers once it took the path; a copy that hangs must
  // not keep this start waiting for ever.
  if (socket.waitForBytesWritten(kHandOverTimeoutMs)) {
    socket.waitForReadyRead(kHandOverTimeoutMs);
  }
  socket.disconnectFromServer();
  return HandOver::Delivered;
}

bool SingleInstance::listen() {
  // Ask first: listening with private access replaces the socket file, so
  // a running copy must be found before that.
  QLocalSocket probe;
  probe.connectToServer(name_);
  if (probe.waitForConnected(kConnectTimeoutMs)) {
    probe.disconnectFromServer();
    return false;
  }
  // Nobody answers: whatever is left under the name belonged to a copy that
  // crashed.
  QLocalServer::removeServer(name_);
  return server_->listen(name_);
}

void SingleInstance::readConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto* timeout = new QTimer(socket);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, socket, &QLocalSocket::abort);
    timeout->start(kHandOverTimeoutMs);
    const auto consume = [this, socket, timeout] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxHandOverBytes) {
          socket->abort();
        }
        return;
      }
      timeout->stop();
      QByteArray line = socket->readLine();
      if (line.size() > kMaxHandOverBytes) {
        socket->abort();
        return;
      }
      line.chop(1);
      socket->write("ok\n");
      socket->flush();
      socket->disconnectFromServer();
      emit handedOver(QString::fromUtf8(line));
    };
    connect(socket, &QLocalSocket::readyRead, this, consume);
    // Bytes may already be waiting when the connection is taken.
    consume();
  }
}

}  // namespace fretlets
