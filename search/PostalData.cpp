#include "search/PostalData.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <memory>
#include <optional>
#include <vector>

#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "postal/IndexOpening.h"
#include "postal/TableTag.h"
#include "search/FtsCalls.h"
#include "search/PostalDataMessages.h"
#include "search/ResultActions.h"
#include "search/TableRecords.h"
#include "search/UiHold.h"
#include "table/DbfTable.h"

namespace search {
namespace {

// What the build shows in the search strip: the progress bar in place of the
// message switch, the busy cursor, and the window's events between records.
// What it took is given back when the build has finished, and the message
// switch when this object ends (after the key count is told), also when the
// table component raises.
class BuildStrip final : public postal::IndexBuildObserver {
 public:
  explicit BuildStrip(TPostalParts& p) : p_(p) {}
  ~BuildStrip() override {
    Finished();
    if (hidSwitch_ && p_.CheckBoxMsg) p_.CheckBoxMsg->show();
  }
  BuildStrip(const BuildStrip&) = delete;
  BuildStrip& operator=(const BuildStrip&) = delete;

  void Starting() override {
    if (p_.CheckBoxMsg) p_.CheckBoxMsg->hide();
    hidSwitch_ = true;
    // Nothing may move the table under the build loop: no search, and no
    // click, key, wheel or scroll bar in the grid (the grid still follows
    // the table).
    for (QWidget* w : {static_cast<QWidget*>(p_.edSearch), p_.butFilt, p_.DBGrid1})
      if (w) held_.push_back(std::make_unique<DisabledWhile>(w));
  }
  void Started(int32_t count) override {
    if (p_.Gauge1) {
      p_.Gauge1->setMaximum(count);
      p_.Gauge1->show();
    }
    // The progress bar shows the build: the grid and the position display
    // are not walked through every record (once, when it is through).
    if (p_.Table1 && !quiet_) {
      p_.Table1->SuspendViewNotifications();
      quiet_ = true;
      // Every record is read in order: the engine reads them a block at a time.
      readCacheWas_ = p_.Table1->ReadCache();
      p_.Table1->SetReadCache(true);
    }
    busy_.emplace();
    events_ = std::make_unique<FramePacedEvents>(p_.owner ? p_.owner->window() : nullptr);
  }
  void Added(int32_t r) override {
    if (r < 0) {
      events_->Paint();
      platform::ShowMessage(p_.owner, QStringLiteral("키 추가 에러: ") + QString::number(r));
    }
    if (p_.Gauge1) p_.Gauge1->setValue(r);
    events_->Run();
  }
  void Saving() override {
    if (events_) events_->Paint();
  }
  void Finished() override {
    if (quiet_) {
      quiet_ = false;
      p_.Table1->SetReadCache(readCacheWas_);
      p_.Table1->ResumeViewNotifications();
    }
    events_.reset();
    busy_.reset();
    if (p_.Gauge1 && hidSwitch_) {
      p_.Gauge1->hide();
      p_.Gauge1->setValue(0);
    }
    held_.clear();
  }

 private:
  TPostalParts& p_;
  bool hidSwitch_ = false;
  bool quiet_ = false;  // the table's display notifications are suspended
  bool readCacheWas_ = false;
  std::vector<std::unique_ptr<DisabledWhile>> held_;
  std::optional<platform::BusyCursor> busy_;
  std::unique_ptr<FramePacedEvents> events_;
};

std::string TablePath(TPostalParts& p) {
  return QFile::encodeName(p.Table1->TablePath()).toStdString();
}

// Tells the user what the build or the opening came to.
void ShowOutcome(TPostalParts& p, const postal::IndexOutcome& outcome) {
  switch (outcome.state) {
    case postal::IndexState::kOpened:
      return;
    case postal::IndexState::kBuilt:
      platform::ShowMessage(p.owner,
                            QString::number(p.Fts1->FtsNumRecs()) + QStringLiteral("개 키 생성"));
      return;
    case postal::IndexState::kCannotCreate:
      ShowIndexUnusable(p, QStringLiteral("FTS 인덱스를 만들 수 없습니다."), outcome.error);
      return;
    case postal::IndexState::kCannotSave:
      ShowIndexUnusable(p, QStringLiteral("FTS 인덱스를 저장할 수 없습니다."), outcome.error);
      return;
    case postal::IndexState::kCannotOpen:
      ShowIndexUnusable(p, QStringLiteral("FTS 인덱스를 열 수 없습니다."), outcome.error);
      return;
  }
}

// Opens the index, or builds it with the strip of the window shown, and
// says how it went.
void OpenIndex(TPostalParts& p) {
  BuildStrip strip(p);
  TFtsCalls calls(*p.Fts1);
  TTableRecords records(*p.Table1);
  const postal::IndexOutcome outcome = postal::OpenOrBuildIndex(
      calls, records, kIndexFileName, TablePath(p), p.RecordBuffer->data(), strip);
  if (p.Crossings) *p.Crossings = outcome.crossings;
  ShowOutcome(p, outcome);
}

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

  OpenIndex(p);
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
