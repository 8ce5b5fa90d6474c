// The search entry, the search run and the result actions.
#include "app/FormMain.h"
#include "app/Panel.h"
#include "search/LiveSearch.h"
#include "search/ResultActions.h"
#include "search/SearchRun.h"

void TFormMain::SearchEntry() {
  LiveSearch->Cancel();  // this search takes the place of one not yet run
  TPostalParts parts = SearchParts();
  ShowSearchResult(search::SearchEntry(parts));
}

void TFormMain::RunSearch() {
  LiveSearch->Cancel();
  TPostalParts parts = SearchParts();
  ShowSearchResult(search::RunSearch(parts));
}

void TFormMain::Post1Click() {
  TPostalParts parts = SearchParts();
  search::Post1Click(parts);
}

void TFormMain::Juso2Click() {
  TPostalParts parts = SearchParts();
  search::Juso2Click(parts);
}

void TFormMain::CopyRowClick() {
  TPostalParts parts = SearchParts();
  search::CopyRowClick(parts);
}

void TFormMain::DataSource1DataChange() {
  if (!Table1) return;
  if (auto caption = search::RecordPositionCaption(*Table1)) panRecPos->SetCaption(*caption);
}
