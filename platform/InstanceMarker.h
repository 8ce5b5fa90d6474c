#pragma once
// The marker of a running instance and the hand-over to it.
//
// The marker is an exclusive flock on "<runtime folder>/<name>.lock". The
// first process to take it holds it for its whole life; the system drops it
// when the process ends in any way (a crash or SIGKILL included), so a dead
// instance never blocks the next start. The holder also listens on the local
// socket "<runtime folder>/<name>.socket"; a later process that finds the
// marker taken sends it a window caption there, and the holder restores or
// raises its own top-level window of that caption.
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace platform {

// The per-user folder for run-time files: $XDG_RUNTIME_DIR when it is a
// folder owned by this user, else /tmp/postcode-finder-<uid> (created with
// mode 0700; refused when it is a symbolic link or owned by someone else).
// Empty when neither can be used.
QString UserRuntimeFolder();

// Captions longer than this (in UTF-8 bytes) are not accepted by the
// hand-over; the settings reader never yields one this long.
inline constexpr int kMaxHandOverBytes = 64 * 1024;

enum class MarkerState {
  kAcquired,       // this process is the first; it now holds the marker
  kHeldByAnother,  // a live process holds the marker
  kUnavailable,    // no runtime folder or lock file could be had
};

class InstanceMarker : public QObject {
  Q_OBJECT
 public:
  explicit InstanceMarker(const QString& name, QObject* parent = nullptr);
  ~InstanceMarker() override;
  InstanceMarker(const InstanceMarker&) = delete;
  InstanceMarker& operator=(const InstanceMarker&) = delete;

  // Tries to take the marker. Once acquired it stays held until this object
  // is destroyed (or the process ends).
  MarkerState Acquire();
  bool IsHeld() const { return fd_ >= 0; }

  // While held: answers hand-over requests; onCaption is called with each
  // requested caption and returns whether it found a window for it.
  bool Listen(std::function<bool(const QString&)> onCaption);

  // From a process that found the marker taken: asks the holder to bring its
  // window of this caption forward. Returns 1 when the holder found such a
  // window, 0 when it found none, -1 when no answer came within timeoutMs.
  static int RequestHandOver(const QString& name, const QString& caption, int timeoutMs = 2000);

  static QString LockPath(const QString& name);
  static QString SocketPath(const QString& name);

 private:
  void OnConnection();

  QString name_;
  int fd_ = -1;
  QLocalServer* server_ = nullptr;
  std::function<bool(const QString&)> onCaption_;
};

// The usual answer to a hand-over: the first top-level window whose caption
// equals caption exactly is shown normally when minimised, else raised and
// activated. Returns whether such a window exists.
bool RestoreOrRaiseWindow(const QString& caption);

}  // namespace platform
