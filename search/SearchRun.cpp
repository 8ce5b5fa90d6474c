#include "search/SearchRun.h"

#include <QCheckBox>
#include <QLineEdit>
#include <exception>

#include "platform/MessageBox.h"
#include "search/ConfirmedMarks.h"
#include "search/Fts.h"
#include "search/SearchText.h"
#include "search/UiHold.h"
#include "table/DbfTable.h"

namespace search {
namespace {

void FocusSearchBox(TPostalParts& p) {
  if (p.edSearch) p.edSearch->setFocus(Qt::OtherFocusReason);
}

}  // namespace

QString CountText(int count) {
  return QStringLiteral("해당 자료 : ") + QString::number(count) + QStringLiteral("개");
}

QString CountMessage(int count) {
  return CountText(count) + QStringLiteral("\r\r") +
         QStringLiteral("참고: 해당자료가 적을수록 더욱 빠르게 찾을수 있습니다.") +
         QStringLiteral("\r") +
         QStringLiteral("        (내용 복사 - 마우스 우측버튼, 붙여넣기 - Ctrl+V)");
}

QString NotFoundMessage(const QString& publisherUrl) {
  return QStringLiteral("해당 자료가 없습니다. 확인요망") + QStringLiteral("\r\r") +
         QStringLiteral("만약 해당 우편번호가 없을 경우 홈페이지(") + publisherUrl +
         QStringLiteral(")") + QStringLiteral("\r") +
         QStringLiteral("공개자료실에서 최신 프로그램을 받아서 설치하시면 됩니다.") +
         QStringLiteral("\r\r") +
         QStringLiteral("프로그램에 좋은 의견은 홈페이지 게시판에 적어주세요");
}

QString TooLongMessage() {
  return QStringLiteral("검색어가 너무 깁니다!") + QStringLiteral("\r\r") +
         QStringLiteral(
             "검색어는 255바이트(한글 127자)까지 찾을 수 있습니다. 줄여서 다시 "
             "찾아 주세요.");
}

int SearchEntry(TPostalParts& p) {
  if (!p.Table1 || !p.Table1->IsOpen()) return kNoTable;
  if (TrimBlanks(p.edSearch->text()).isEmpty()) {
    p.Table1->Query("");
    FocusSearchBox(p);
    return kWholeTable;
  }
  return RunSearch(p);
}

int RunSearch(TPostalParts& p) {
  if (!p.Table1 || !p.Table1->IsOpen()) return kNoTable;
  if (p.Timer1) p.Timer1->stop();
  TimerRestart clock(p.Timer1);
  int matches = 0;
  try {
    p.Table1->Query("");
    const TSearchTextFill fill = FillSearchText(p.edSearch->text(), *p.SearchText);
    if (fill != TSearchTextFill::Filled) {
      // A character that CP949 cannot encode is in no record: searching a
      // substitute for it could only find wrong rows. A text too long is
      // refused: cut, it would ask for less than was typed.
      if (fill == TSearchTextFill::NotCp949) ShowNoRows(p);
      clock.Restart();
      platform::ShowMessage(p.owner, fill == TSearchTextFill::TooLong
                                         ? TooLongMessage()
                                         : NotFoundMessage(p.publisherUrl));
      FocusSearchBox(p);
      return 0;
    }
    const postal::SearchOutcome outcome = MarkMatches(p, true);
    if (!outcome.visited) {
      // The clock stays off while this message is up, and starts on the way out.
      platform::ShowMessage(p.owner, outcome.answer == postal::IndexAnswer::kNoKey
                                         ? QStringLiteral("FTS 인덱스에 키 없음!")
                                         : QStringLiteral("자료 없음!"));
      return 0;
    }
    matches = outcome.matches;
  } catch (const std::exception& e) {
    clock.Restart();
    platform::ShowMessage(p.owner, QString::fromUtf8(e.what()));
    return 0;
  }
  clock.Restart();
  if (matches == 0) {
    platform::ShowMessage(p.owner, NotFoundMessage(p.publisherUrl));
    FocusSearchBox(p);
    return 0;
  }
  if (matches > 1 && p.CheckBoxMsg && p.CheckBoxMsg->isChecked())
    platform::ShowMessage(p.owner, CountMessage(matches));
  if (p.DBGrid1) p.DBGrid1->setFocus(Qt::OtherFocusReason);
  return matches;
}

}  // namespace search
