#pragma once
// The characters of the grid's cells that matched the search, found by the
// full-text library's own matcher on the row's record, so that what is drawn
// highlighted is exactly what matched.
#include <QByteArray>
#include <utility>
#include <vector>

class TDbfTable;
class TField;
class TFts;

namespace search {

class TMatchHighlight {
 public:
  TMatchHighlight(TDbfTable* table, TFts* fts) : table_(table), fts_(fts) {}

  // The CP949 search text whose matches are shown; empty shows none.
  void SetText(const QByteArray& cp949);
  const QByteArray& Text() const { return text_; }

  // (start, length) ranges of the display text of field in window row `row`
  // of the table's view, ascending. The row's record is put together from
  // its character fields at their places in the raw record, so that a match
  // that runs from one field into the next is found as the index finds it.
  std::vector<std::pair<int, int>> CellRanges(int row, const TField* field);

 private:
  QByteArray RowRecord(int row);

  TDbfTable* table_;
  TFts* fts_;
  QByteArray text_;
  // The last record asked about and its matched byte ranges.
  QByteArray record_;
  std::vector<std::pair<int32_t, int32_t>> spans_;
};

}  // namespace search
