// The postal-data stages of the start-up sequence and of the end of the run.
#include <QPushButton>

#include "app/FormMain.h"
#include "app/Panel.h"
#include "app/Publisher.h"
#include "app/UserFolders.h"
#include "search/PostalData.h"

TPostalParts TFormMain::SearchParts() {
  TPostalParts p;
  p.owner = this;
  p.Table1 = Table1;
  p.Fts1 = &Fts1;
  p.RecordBuffer = &RecordBuffer;
  p.SearchText = &SearchText;
  p.Crossings = &IndexCrossings;
  p.edSearch = edSearch;
  p.butFilt = butFilt;
  p.Gauge1 = Gauge1;
  p.CheckBoxMsg = CheckBoxMsg;
  p.Timer1 = Timer1;
  p.DBGrid1 = DBGrid1;
  p.EditTemp = EditTemp;
  p.panRecPos = panRecPos;
  p.publisherUrl = QString::fromUtf8(app::kPublisherUrl);
  return p;
}

// Opens the postal table, allocates the record buffer, opens or builds the
// full-text index.
void TFormMain::OpenPostalData() {
  TPostalParts parts = SearchParts();
  search::OpenPostalData(parts, app::TableFolder());
  ShowTableColumns();
}

// Closes the index, frees the record buffer and closes the table when open.
void TFormMain::ClosePostalData() {
  if (!Table1) return;
  TPostalParts parts = SearchParts();
  search::ClosePostalData(parts);
}
