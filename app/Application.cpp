#include "app/Application.h"

#include <QMetaObject>
#include <exception>

#include "platform/MessageBox.h"

namespace app {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ReportEscapedException(QString::fromUtf8(e.what()));
  } catch (...) {
    ReportEscapedException(QStringLiteral("Unknown error"));
  }
  return false;
}

void TApplication::ReportEscapedException(const QString& text) {
  qWarning("postcode-finder: %s", qUtf8Printable(text));
  if (reportQueued_) return;
  reportQueued_ = true;
  pending_ = text;
  // Not from inside the failed handler: it may be a paint or a half-done
  // key press, and the box runs an event loop of its own.
  QMetaObject::invokeMethod(this, &TApplication::ShowPendingReport, Qt::QueuedConnection);
}

void TApplication::ShowPendingReport() {
  platform::ShowMessage(activeWindow(), pending_);
  pending_.clear();
  reportQueued_ = false;
}

}  // namespace app
