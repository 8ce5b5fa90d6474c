// The calendar-text stage of the start-up sequence.
#include "app/FormMain.h"

// Puts today's calendar text into MemoDisp.
void TFormMain::ShowCalendarText() {}
