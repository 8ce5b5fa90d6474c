#include "platform/InstanceMarker.h"

#include <QApplication>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QtEndian>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace platform {
namespace {

bool IsOwnPrivateFolder(const QByteArray& path) {
  struct stat st {};
  if (lstat(path.constData(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

// Reads a length-prefixed UTF-8 caption; the socket is closed on anything
// malformed or oversized.
void ServeRequest(QLocalSocket* socket, const std::function<bool(const QString&)>& onCaption) {
  if (socket->bytesAvailable() < 4) return;
  char head[4];
  socket->peek(head, 4);
  quint32 length = qFromBigEndian<quint32>(head);
  if (length > static_cast<quint32>(kMaxHandOverBytes)) {
    socket->abort();
    return;
  }
  if (socket->bytesAvailable() < 4 + static_cast<qint64>(length)) return;
  socket->read(4);
  QString caption = QString::fromUtf8(socket->read(length));
  bool found = onCaption ? onCaption(caption) : false;
  socket->write(found ? "1" : "0");
  socket->flush();
  socket->disconnectFromServer();
}

}  // namespace

QString UserRuntimeFolder() {
  QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
  if (!xdg.isEmpty() && IsOwnPrivateFolder(xdg)) return QString::fromLocal8Bit(xdg);
  QByteArray fallback = "/tmp/postcode-finder-" + QByteArray::number(geteuid());
  if (mkdir(fallback.constData(), 0700) != 0 && errno != EEXIST) return QString();
  if (!IsOwnPrivateFolder(fallback)) return QString();
  return QString::fromLocal8Bit(fallback);
}

QString InstanceMarker::LockPath(const QString& name) {
  QString folder = UserRuntimeFolder();
  return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + name + QLatin1String(".lock");
}

QString InstanceMarker::SocketPath(const QString& name) {
  QString folder = UserRuntimeFolder();
  return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + name + QLatin1String(".socket");
}

InstanceMarker::InstanceMarker(const QString& name, QObject* parent)
    : QObject(parent), name_(name) {}

InstanceMarker::~InstanceMarker() {
  if (server_) server_->close();
  if (fd_ >= 0) close(fd_);
}

MarkerState InstanceMarker::Acquire() {
  if (fd_ >= 0) return MarkerState::kAcquired;
  QString path = LockPath(name_);
  if (path.isEmpty()) return MarkerState::kUnavailable;
  // Close-on-exec: a browser started from this process must not inherit the
  // lock and keep the marker alive after this process has ended.
  int fd =
      open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return MarkerState::kUnavailable;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int err = errno;
    close(fd);
    return err == EWOULDBLOCK ? MarkerState::kHeldByAnother : MarkerState::kUnavailable;
  }
  fd_ = fd;
  return MarkerState::kAcquired;
}

bool InstanceMarker::Listen(std::function<bool(const QString&)> onCaption) {
  if (fd_ < 0) return false;
  onCaption_ = std::move(onCaption);
  if (!server_) {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceMarker::OnConnection);
  }
  if (server_->isListening()) return true;
  QString path = SocketPath(name_);
  // We hold the marker, so a socket file left here belongs to a dead holder.
  QLocalServer::removeServer(path);
  return server_->listen(path);
}

void InstanceMarker::OnConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this,
            [this, socket] { ServeRequest(socket, onCaption_); });
    // A peer that never completes its request is dropped.
    QPointer<QLocalSocket> guard(socket);
    QTimer::singleShot(5000, this, [guard] {
      if (guard) guard->abort();
    });
    ServeRequest(socket, onCaption_);
  }
}

int InstanceMarker::RequestHandOver(const QString& name, const QString& caption, int timeoutMs) {
  QByteArray body = caption.toUtf8();
  if (body.size() > kMaxHandOverBytes) return -1;
  QString path = SocketPath(name);
  if (path.isEmpty()) return -1;
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(timeoutMs)) return -1;
  char head[4];
  qToBigEndian<quint32>(static_cast<quint32>(body.size()), head);
  socket.write(head, 4);
  socket.write(body);
  if (!socket.waitForBytesWritten(timeoutMs)) return -1;
  while (socket.bytesAvailable() < 1) {
    if (!socket.waitForReadyRead(timeoutMs)) return -1;
  }
  char answer = 0;
  socket.getChar(&answer);
  return answer == '1' ? 1 : 0;
}

bool RestoreOrRaiseWindow(const QString& caption) {
  const QWidgetList windows = QApplication::topLevelWidgets();
  for (QWidget* w : windows) {
    if (!w->isWindow() || w->windowTitle() != caption) continue;
    if (w->isMinimized()) {
      w->showNormal();
    } else {
      w->raise();
      w->activateWindow();
    }
    return true;
  }
  return false;
}

}  // namespace platform
