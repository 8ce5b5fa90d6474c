#pragma once
// The actions on the result rows: the grid's popup menu copies the postal code
// or the full address of the current record, and the position display shows
// the current record over the table's record count.
#include <QString>
#include <optional>

#include "search/PostalParts.h"

namespace search {

// The copy actions act on the current record, which is the grid's selected
// row; when the grid shows no row (a search matched nothing) they copy
// nothing and the clipboard keeps what it held.

// ZIPCODE of the current record without its trailing blanks, to the clipboard.
void Post1Click(TPostalParts& parts);
// ETC of the current record without its trailing blanks, to the clipboard.
void Juso2Click(TPostalParts& parts);
// The current record's postal code and address, one blank apart, each
// without its trailing blanks, to the clipboard (Ctrl+C in the grid).
void CopyRowClick(TPostalParts& parts);
// Another field of the current record (JIBUN, the lot address; ENG, the
// English address) without its trailing blanks, to the clipboard.
void CopyFieldClick(TPostalParts& parts, const QString& fieldName);

// "<Recno> / <RecCount>" while Table1 browses; nothing otherwise (the caption
// then stays as it is).
std::optional<QString> RecordPositionCaption(TDbfTable& table);

// Which table the position counts in, for the display's tooltip: the file
// name, the date of its header and the record count,
// "POSTCODE.DBF: 2017-05-31, 52144개 레코드".
QString LoadedTableToolTip(TDbfTable& table);

}  // namespace search
