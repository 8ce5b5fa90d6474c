#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {
namespace {
MessageRecorder* g_recorder = nullptr;
}

MessageRecorder::MessageRecorder() : previous_(g_recorder) {
  g_recorder = this;
}
MessageRecorder::~MessageRecorder() {
  g_recorder = previous_;
}

void ShowMessage(QWidget* owner, const QString& text) {
  if (g_recorder) {
    g_recorder->Record(text);
    return;
  }
  QString shown = text;
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), shown,
                  QMessageBox::Ok, owner);
  box.exec();
}

}  // namespace platform
