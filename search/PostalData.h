#pragma once
// The postal data of the running application: opening the table and the
// full-text index at start-up (building the index when it is missing or
// unusable), and closing them at the end of the run.
#include <QString>
#include <string>

#include "search/PostalParts.h"

namespace search {

inline constexpr char kPostalTableName[] = "POSTCODE.DBF";
// Named without a folder: looked up, created and opened in the working directory.
inline constexpr char kIndexFileName[] = "POSTCODE.FTS";

// Opening stage: Table1 from tableFolder (with its trailing separator), the
// record buffer, then the index: opened when POSTCODE.FTS exists and was
// built from this table as it is now, otherwise built. An error of the table
// component propagates (the start-up sequence shows it). An index that
// cannot be built, saved or opened is told once (PostalDataMessages.h) and
// leaves IndexHandle 0: the search then reads the whole table.
void OpenPostalData(TPostalParts& parts, const QString& tableFolder);

// The source tag of the open table's file (search/TableTag.h).
std::string OpenTableTag(TPostalParts& parts);

// True when the open index handle in Fts1 is usable for this table: opened,
// built from a file whose tag is tableTag, and holding exactly the table's
// records.
bool IndexMatchesTable(TPostalParts& parts, const std::string& tableTag);

// The index build from every record of the open table (see PostalData.cpp);
// the index is tagged with tableTag.
void BuildIndex(TPostalParts& parts, const std::string& tableTag);

// Closing stage: with the table open, closes the index, frees the record
// buffer and closes the table, in this order.
void ClosePostalData(TPostalParts& parts);

}  // namespace search
