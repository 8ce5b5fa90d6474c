#pragma once
// The non-visual data components of the main window: the postal table, its
// data source, the full-text index component, the record buffer and the
// search text. TFormMain derives from this struct, so every field declared
// here is a field of the form under its own name (Table1, DataSource1, Fts1,
// RecordBuffer, SearchText). They are created by
// TFormMain::CreateDataComponents (FormMainData.cpp), before FormCreate runs.

#include "dataset/DataSource.h"
#include "search/Fts.h"
#include "search/PostalParts.h"
#include "table/DbfTable.h"

struct TFormMainData {
  TFormMainData() = default;
  TFormMainData(const TFormMainData&) = delete;
  TFormMainData& operator=(const TFormMainData&) = delete;
  ~TFormMainData() { delete Table1; }

  // The postal table, read-only, driver MTX (owned here).
  TDbfTable* Table1 = nullptr;
  // Table1 for DBGrid1; its data change runs DataSource1DataChange (a child
  // of the form).
  TDataSource* DataSource1 = nullptr;
  // The full-text index over Table1; IndexHandle 0 until opened or created.
  TFts Fts1;
  // One raw record of Table1 and its zero byte; allocated while Table1 is open.
  TRecordBuffer RecordBuffer;
  // The last search text, CP949, zero-terminated.
  TSearchText SearchText{};
  // What the open index knows of Table1's fields.
  postal::FieldCrossings IndexCrossings = postal::FieldCrossings::Unknown();
};
