#pragma once
// Marking the matches of a search in the table's query set: the step that the
// search run and the search while typing share.
#include "postal/AddressSearch.h"
#include "search/PostalParts.h"

namespace search {

// Searches SearchText with the core (postal/AddressSearch.h) and marks every
// match. Before the first record is visited the table's display
// notifications are suspended and the natural order is put in force (and,
// with busyCursor, the busy cursor shown); afterwards the order and the
// notifications are given back, the table goes to its top and refreshes, so
// that the grid shows exactly the marks: no row at all when nothing matched.
// An error of the table component propagates once order, speed mode and
// notifications are given back.
postal::SearchOutcome MarkMatches(TPostalParts& parts, bool busyCursor);

// Shows no row: a query set in force that holds no record.
void ShowNoRows(TPostalParts& parts);

}  // namespace search
