// The search while typing, the match count in the grid's title row and the
// matches highlighted in the grid.
#include "app/FormMain.h"
#include "search/LiveSearch.h"
#include "search/MatchHighlight.h"
#include "search/SearchRun.h"

namespace {

// The count as the count message words it, without a message box.
QString CountNote(int matches) {
  if (matches == search::kWholeTable) return {};
  if (matches == search::kNoTable)
    return QStringLiteral("우편번호 자료를 열지 못해 찾을 수 없습니다");
  if (matches <= 0) return QStringLiteral("해당 자료 없음");
  return search::CountText(matches);
}

}  // namespace

void TFormMain::CreateLiveSearch() {
  highlight_ = std::make_unique<search::TMatchHighlight>(Table1, &Fts1);
  DBGrid1->SetCellHighlights(
      [this](int row, const TField* field) { return highlight_->CellRanges(row, field); });
  LiveSearch = new search::TLiveSearch([this] { return SearchParts(); },
                                       [this] { return activated_ && !inStartUp_; }, this);
  connect(edSearch, &app::TSearchBox::ComposedTextChanged, this, [this] {
    search::TComposedText composed;
    composed.text = edSearch->ComposedText();
    composed.preeditStart = edSearch->PreeditStart();
    composed.preeditLength = static_cast<int>(edSearch->Preedit().size());
    LiveSearch->Request(composed);
  });
  connect(LiveSearch, &search::TLiveSearch::Searched, this, &TFormMain::ShowSearchResult);
}

void TFormMain::ShowSearchResult(int matches) {
  highlight_->SetText(matches > 0 ? QByteArray(SearchText.data()) : QByteArray());
  DBGrid1->SetTitleNote(CountNote(matches));
  DBGrid1->viewport()->update();
}
