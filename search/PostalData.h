#pragma once
// The postal data of the running window: opening the table and the full-text
// index at start-up (the core builds the index when it is missing or does not
// answer for the table), and closing them at the end of the run. What the
// window adds is its own: the search strip during the build, its messages.
#include <QString>
#include <string>

#include "postal/PostalFiles.h"
#include "search/PostalParts.h"

namespace search {

inline constexpr const char* kPostalTableName = postal::kTableFileName;
// Named without a folder: looked up, created and opened in the working directory.
inline constexpr const char* kIndexFileName = postal::kIndexFileName;

// Opening stage: Table1 from tableFolder (with its trailing separator), the
// record buffer, then the index: opened when POSTCODE.FTS exists and was
// built from this table as it is now, otherwise built. An error of the table
// component propagates (the start-up sequence shows it). An index that
// cannot be built, saved or opened is told once (PostalDataMessages.h) and
// leaves IndexHandle 0: the search then reads the whole table.
void OpenPostalData(TPostalParts& parts, const QString& tableFolder);

// Closing stage: with the table open, closes the index, frees the record
// buffer and closes the table, in this order.
void ClosePostalData(TPostalParts& parts);

}  // namespace search
