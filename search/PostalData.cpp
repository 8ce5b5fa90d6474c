#include "search/PostalData.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProgressBar>

#include "libs/ftsindex/ftsindex.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "search/Fts.h"
#include "search/PostalDataMessages.h"
#include "search/ResultActions.h"
#include "search/TableTag.h"
#include "search/UiHold.h"
#include "table/DbfTable.h"

namespace search {
namespace {

// Everything the build takes from the search strip, given back at every way out.
class BuildStrip {
 public:
  explicit BuildStrip(TPostalParts& p)
      : p_(p), search_(p.edSearch), button_(p.butFilt), grid_(p.DBGrid1) {
    if (p_.CheckBoxMsg) p_.CheckBoxMsg->hide();
  }
  ~BuildStrip() {
    HideGauge();
    if (p_.CheckBoxMsg) p_.CheckBoxMsg->show();
  }
  void HideGauge() {
    if (!p_.Gauge1) return;
    p_.Gauge1->hide();
    p_.Gauge1->setValue(0);
  }
  BuildStrip(const BuildStrip&) = delete;
  BuildStrip& operator=(const BuildStrip&) = delete;

 private:
  TPostalParts& p_;
  // Nothing may move the table under the build loop: no search, and no click,
  // key, wheel or scroll bar in the grid (the grid still follows the table).
  DisabledWhile search_, button_, grid_;
};

}  // namespace

void OpenPostalData(TPostalParts& p, const QString& tableFolder) {
  p.Table1->SetDatabasename(tableFolder);
  p.Table1->SetTableName(QString::fromLatin1(kPostalTableName));
  p.Table1->Open();
  WarnIfTableIsCut(p);
  // The byte after the record stays zero: the full-text library reads the
  // record up to it, and ReadRecord writes exactly RecordSize bytes.
  p.RecordBuffer->assign(static_cast<size_t>(p.Table1->RecordSize()) + 1, '\0');
  if (p.panRecPos) p.panRecPos->setToolTip(LoadedTableToolTip(*p.Table1));

  const std::string tag = OpenTableTag(p);
  if (QFileInfo::exists(QString::fromLatin1(kIndexFileName))) {
    p.Fts1->FtsOpen(kIndexFileName, 20, 1);
    if (IndexMatchesTable(p, tag)) return;
    // Truncated, corrupt, foreign, or made from another table or an earlier
    // state of this one: an index that cannot answer for this table as it
    // is now is built again.
    if (p.Fts1->IndexHandle > 0) p.Fts1->FtsClose();
    p.Fts1->IndexHandle = 0;
  }
  BuildIndex(p, tag);
}

std::string OpenTableTag(TPostalParts& p) {
  return TableTag(QFile::encodeName(p.Table1->TablePath()).toStdString());
}

bool IndexMatchesTable(TPostalParts& p, const std::string& tableTag) {
  if (p.Fts1->IndexHandle <= 0 || p.Fts1->FtsNumRecs() != p.Table1->RecCount()) return false;
  char stored[FTS_MAX_TAG + 1];
  return p.Fts1->FtsGetTag(stored, sizeof stored) >= 0 && TagsMatch(stored, tableTag);
}

void BuildIndex(TPostalParts& p, const std::string& tableTag) {
  BuildStrip strip(p);
  const int32_t created = p.Fts1->FtsCreate(kIndexFileName, 20, 2, 1, 1);
  if (created <= 0) {
    // Without a new index every record would be refused one by one.
    p.Fts1->IndexHandle = 0;
    ShowIndexUnusable(p, QStringLiteral("FTS 인덱스를 만들 수 없습니다."), created);
    return;
  }
  // Stored with the index, so that a later start knows which table it answers for.
  p.Fts1->FtsSetTag(tableTag.c_str());
  const int32_t count = p.Table1->RecCount();
  if (p.Gauge1) {
    p.Gauge1->setMaximum(count);
    p.Gauge1->show();
  }
  p.Table1->GoTop();
  int32_t written = 0, opened = 0;
  {
    platform::BusyCursor busy;
    FramePacedEvents events(p.owner ? p.owner->window() : nullptr);
    while (!p.Table1->AtEnd()) {
      p.Table1->ReadRecord(p.RecordBuffer->data());
      const int32_t r = p.Fts1->FtsAdd(p.RecordBuffer->data());
      if (r < 0) {
        events.Paint();
        platform::ShowMessage(p.owner, QStringLiteral("키 추가 에러: ") + QString::number(r));
      }
      if (p.Gauge1) p.Gauge1->setValue(r);
      p.Table1->Skip(1);
      events.Run();
    }
    events.Paint();
    p.Table1->GoTop();
    written = p.Fts1->FtsClose();
    // A failed save leaves no new file: opening the name again would find
    // an older index, made for another table, or none.
    if (written == 0) opened = p.Fts1->FtsOpen(kIndexFileName, 20, 1);
    if (written < 0 || opened <= 0) p.Fts1->IndexHandle = 0;
  }
  strip.HideGauge();
  if (written < 0)
    ShowIndexUnusable(p, QStringLiteral("FTS 인덱스를 저장할 수 없습니다."), written);
  else if (opened <= 0)
    ShowIndexUnusable(p, QStringLiteral("FTS 인덱스를 열 수 없습니다."), opened);
  else
    platform::ShowMessage(p.owner,
                          QString::number(p.Fts1->FtsNumRecs()) + QStringLiteral("개 키 생성"));
}

void ClosePostalData(TPostalParts& p) {
  if (!p.Table1->IsOpen()) return;
  p.Fts1->FtsClose();
  p.Fts1->IndexHandle = 0;
  p.RecordBuffer->clear();
  p.RecordBuffer->shrink_to_fit();
  p.Table1->Close();
}

}  // namespace search
