#pragma once
// One stage of the start-up sequence or of the end of the run: an error
// raised inside it is shown to the user in a message box and ends the
// sequence there (the caller stops at a false result).
#include <functional>

class QWidget;

namespace app {

bool RunStage(QWidget* owner, const std::function<void()>& stage);

}  // namespace app
