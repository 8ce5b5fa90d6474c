// A stand-in program for the single-instance tests: one window with the
// given caption, then the program's own IsAnotherInstance. It prints FIRST
// or SECOND; a second instance ends at once, a first one reports what the
// hand-over does to its window and runs until it is killed (or 60 s pass).
//   test-helper-instance <marker> <caption> [minimized]
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "app/SingleInstance.h"

namespace {

class Reporter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* w = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::WindowStateChange && !w->isMinimized())
      Print("RESTORED");
    else if (event->type() == QEvent::WindowActivate)
      Print("ACTIVATED");
    return false;
  }

 public:
  static void Print(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 3) return 2;
  const QString marker = QString::fromLocal8Bit(argv[1]);
  const QString caption = QString::fromUtf8(argv[2]);
  const bool minimized = argc > 3 && QByteArray(argv[3]) == "minimized";

  QWidget window;
  window.setWindowTitle(caption);
  // A second window takes the activation, so that a raise of the first
  // shows as its activation.
  QWidget other;
  other.setWindowTitle(QStringLiteral("other"));
  if (minimized) {
    window.showMinimized();
  } else {
    window.show();
    other.show();
    other.activateWindow();
  }
  QApplication::processEvents();

  if (app::IsAnotherInstance(caption, marker)) {
    Reporter::Print("SECOND");
    return 0;
  }
  Reporter reporter;
  window.installEventFilter(&reporter);
  Reporter::Print("FIRST");
  QTimer::singleShot(60000, &application, &QApplication::quit);
  return QApplication::exec();
}
