#include "app/EndOnSignal.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <csignal>
#include <iterator>

namespace app {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT};
// The write end of the live object's pipe, for the handler.
volatile sig_atomic_t g_writeFd = -1;
struct sigaction g_previous[std::size(kSignals)];

extern "C" void OnEndSignal(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  // A full pipe already holds signals enough to act on: a failed write is
  // of no concern.
  if (g_writeFd >= 0 && ::write(g_writeFd, &byte, 1) < 0) {
  }
  errno = saved;
}

}  // namespace

TEndOnSignal::TEndOnSignal(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (g_writeFd >= 0 || ::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) return;
  g_writeFd = fds_[1];
  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < std::size(kSignals); ++i)
    ::sigaction(kSignals[i], &action, &g_previous[i]);
  notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TEndOnSignal::Drain);
}

TEndOnSignal::~TEndOnSignal() {
  if (!notifier_) return;
  for (size_t i = 0; i < std::size(kSignals); ++i)
    ::sigaction(kSignals[i], &g_previous[i], nullptr);
  g_writeFd = -1;
  delete notifier_;
  ::close(fds_[0]);
  ::close(fds_[1]);
}

void TEndOnSignal::Drain() {
  char bytes[64];
  bool any = false;
  while (::read(fds_[0], bytes, sizeof bytes) > 0) any = true;
  // Signals that arrived together ask for the same end: answered once.
  if (any && onSignal_) onSignal_();
}

void CloseForSignal(QWidget* window) {
  // Each box closed returns from its own loop once this handler is done;
  // the bound keeps a box that refuses to close from holding us here.
  for (int i = 0; i < 16; ++i) {
    QWidget* box = QApplication::activeModalWidget();
    if (!box || box == window || !box->close()) break;
  }
  if (window && window->isVisible()) window->close();
}

}  // namespace app
