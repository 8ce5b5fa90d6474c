#pragma once
// The search: the entry shared by Return in the search box and the search
// button, and the run that marks the matching records in the table's query set.
#include <QString>

#include "search/PostalParts.h"

namespace search {

// "해당 자료 : <n>개".
QString CountText(int count);
// CountText and its two notes.
QString CountMessage(int count);
// "해당 자료가 없습니다. 확인요망" with the publisher's address.
QString NotFoundMessage(const QString& publisherUrl);
// The refusal of a search text over 255 bytes.
QString TooLongMessage();

// What a search that shows the whole table for a blank box answers.
inline constexpr int kWholeTable = -1;
// What a search answers while no table is open (its opening failed at
// start-up): it does nothing.
inline constexpr int kNoTable = -2;

// The search entry: a box blank after trimming clears the query set (every
// record visible again), keeps the focus in the box and answers kWholeTable;
// otherwise RunSearch and its match count. Without an open table, kNoTable.
int SearchEntry(TPostalParts& parts);

// Asks the index for the candidates of the box's text, confirms each against
// its record, marks the confirmed ones and shows the result. Without a usable
// index every record of the table is confirmed instead (postal/SearchRun.h). A
// text over 255 bytes is refused with TooLongMessage(). Answers the match
// count (0 also when the run ended with a message or an error). The clock is
// off during the run and on again at every way out, and the table's display
// notifications are resumed whatever happens; an error of the table component
// is shown and ends the run.
int RunSearch(TPostalParts& parts);

}  // namespace search
