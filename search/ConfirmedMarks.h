#pragma once
// Marking the confirmed candidates of a search in the table's query set: the
// step that the search run and the search while typing share.
#include "search/PostalParts.h"

namespace search {

// Steps 8 to 14 of the run: with the table's display notifications suspended
// and the natural order in force, marks every candidate that matches
// SearchText, then restores the order and the notifications, goes to the top
// and refreshes, so that the grid shows exactly the marks. fromIndex: the
// candidates of a FtsSet of SearchText that gave some; a candidate that the
// index has proven (FtsProven) is marked without being read, every other one
// is read into RecordBuffer and confirmed by FtsVerify. Otherwise every
// record of the table is read and confirmed (Candidates.h). Answers the
// number of marks. An error of the table component propagates once order,
// speed mode and notifications are given back.
int MarkConfirmed(TPostalParts& parts, bool fromIndex);

}  // namespace search
