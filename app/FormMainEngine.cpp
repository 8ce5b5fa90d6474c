// The database engine's part in the window's creation.
#include "app/FormMain.h"
#include "table/DbfEngine.h"

// Selects the engine's machine collation when the engine is loaded.
void TFormMain::SelectMachineCollation() {
  TDbfEngine::Instance().SetMachineCollation();
}
