#pragma once
// SIGTERM and SIGINT (a logout, kill, Ctrl+C in the terminal) end the
// program the way the window's close button does, so that the end of the
// run still closes the data and saves the settings.
#include <QObject>
#include <functional>

class QSocketNotifier;
class QWidget;

namespace app {

// While alive, each SIGTERM or SIGINT calls onSignal once, from the event
// loop of the thread that made this object (never from the signal handler
// itself). The handlers in place before are restored at the end. One at a
// time per process.
class TEndOnSignal : public QObject {
  Q_OBJECT
 public:
  explicit TEndOnSignal(std::function<void()> onSignal, QObject* parent = nullptr);
  ~TEndOnSignal() override;
  TEndOnSignal(const TEndOnSignal&) = delete;
  TEndOnSignal& operator=(const TEndOnSignal&) = delete;

  // False when the handlers could not be installed (the signals then keep
  // their previous effect).
  bool Installed() const { return notifier_ != nullptr; }

 private:
  void Drain();

  std::function<void()> onSignal_;
  int fds_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};

// The answer to a signal: closes the message boxes open at this moment (a
// signal must not wait on a person), then the window when it is still shown.
// A window that is still starting up closes once its start-up sequence has
// ended.
void CloseForSignal(QWidget* window);

}  // namespace app
