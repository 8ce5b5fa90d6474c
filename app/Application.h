#pragma once
// The application object. Every event of the program - a key, a click, a
// wheel turn or a scroll in the window or its grid, a timer tick, a menu
// choice, a queued call - is delivered through notify(); an exception that
// escapes its handler is caught there instead of ending the process, and its
// text is shown once in a message box. The program then goes on.
#include <QApplication>
#include <QString>

namespace app {

class TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Shows text in a message box once the failed handler has returned. While
  // one such box is waiting or open, further texts only go to the log, so
  // that a handler failing again and again cannot stack up boxes.
  void ReportEscapedException(const QString& text);

 private:
  void ShowPendingReport();

  QString pending_;
  bool reportQueued_ = false;
};

}  // namespace app
