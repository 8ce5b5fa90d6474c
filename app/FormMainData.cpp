// Creation of the data components declared in FormMainData.h.
#include "app/FormMain.h"

void TFormMain::CreateDataComponents() {}
