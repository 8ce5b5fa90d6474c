#include "app/LibraryStartUp.h"

#include "search/FtsLibrary.h"
#include "table/DbfEngine.h"

namespace app {

bool StartLibraries() {
  if (!CheckFtsLibraryAvailable()) return false;
  // The process-wide engine object; the library itself is loaded when the
  // window's table component has been created.
  TDbfEngine::Instance();
  return true;
}

bool EngineEndedTheApplication() {
  return TDbfEngine::Instance().TerminateRequested();
}

}  // namespace app
