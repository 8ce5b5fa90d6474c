#include "app/StageRunner.h"

#include <QString>
#include <exception>

#include "platform/MessageBox.h"

namespace app {

bool RunStage(QWidget* owner, const std::function<void()>& stage) {
  try {
    stage();
    return true;
  } catch (const std::exception& e) {
    platform::ShowMessage(owner, QString::fromUtf8(e.what()));
  } catch (...) {
    platform::ShowMessage(owner, QStringLiteral("Unknown error"));
  }
  return false;
}

}  // namespace app
