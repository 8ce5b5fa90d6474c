// The search entry, the search run and the result actions.
#include "app/FormMain.h"

void TFormMain::SearchEntry() {}

void TFormMain::RunSearch() {}

void TFormMain::Post1Click() {}

void TFormMain::Juso2Click() {}

void TFormMain::DataSource1DataChange() {}
