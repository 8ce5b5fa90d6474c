// The real main window, offscreen, over a table imported from range files of
// five-digit zone numbers: the index is built for it, a search finds its
// rows, the copy actions give the zone number and the address as a user
// pastes them, the position display counts in it and names it, and the
// address column shows the longest address whole. The range files are
// written by hand in Korea Post's published layout.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>

#include "Cp949Check.h"
#include "RangeImport.h"
#include "WindowFixture.h"
#include "app/Panel.h"
#include "dataset/DBGrid.h"

namespace {

const char* const kRoadFile =
    "우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면명|읍면명(영문)|도로명|도로명(영문)|"
    "지하여부|건물번호본번(시작)|건물번호부번(시작)|건물번호본번(종료)|건물번호부번(종료)|"
    "범위종류\n"
    "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1\n"
    "06237|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|102||152||2\n"
    "30100|세종특별자치시|Sejong|||||한누리대로|Hannuri-daero|0|2|1|20|3|2\n"
    "24341|강원특별자치도|Gangwon|춘천시|Chuncheon-si|||중앙로|Jungang-ro|1|12||30||2\n"
    "15654|경기도|Gyeonggi-do|안산시 단원구|Danwon-gu|||대부황금로|Daebuhwanggeum-ro|0|1||99||1\n"
    "17000|경상남도|Gyeongnam|창원시 마산합포구|Masanhappo-gu|진전면|Jinjeon-myeon|"
    "진전면오서리새마을안길너머옛우물가는큰길|Ose-gil|1|12345|678|12399|999|2\n";
const char* const kLotFile =
    "우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면동명|읍면동명(영문)|리명|산여부|"
    "행정동명|지번본번(시작)|지번부번(시작)|지번본번(종료)|지번부번(종료)\n"
    "06234|서울특별시|Seoul|강남구|Gangnam-gu|역삼동|Yeoksam-dong||0|역삼1동|601||720|\n"
    "15654|경기도|Gyeonggi-do|안산시 단원구|Danwon-gu|대부북동|Daebubuk-dong||0||1||50|\n"
    "43100|대구광역시|Daegu|군위군|Gunwi-gun|군위읍|Gunwi-eup|동부리|0|군위읍|33||33|\n";
constexpr int kRecords = 9;
// The longest address, in the sixth road row: 107 bytes, wider than the
// address column as designed for the 83 of the six-digit table.
const char* const kLongest =
    "경상남도 창원시 마산합포구 진전면 진전면오서리새마을안길너머옛우물가는큰길 지하 "
    "12345-678∼12399-999 (짝수)";

class ImportedWindow : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    std::string error;
    const auto image = postal::ImportRangeFiles(
        {{"road.txt", kRoadFile}, {"lot.txt", postal::Cp949FromUtf8(kLotFile)}}, {2024, 7, 15},
        &error);
    ASSERT_TRUE(image.has_value()) << error;
    ASSERT_TRUE(platform::WriteFileAtomically(TablePath(), *image, &error)) << error;
  }

  void Start() {
    form_ = std::make_unique<TFormMain>();
    form_->InstanceMarkerName = QStringLiteral("ImportedWindowTest");
    form_->SetActivateOnShow(false);
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    form_->FormActivate();
  }
};

}  // namespace

TEST_F(ImportedWindow, SearchCopyAndPositionWorkOnTheImportedTable) {
  Start();
  EXPECT_EQ(messages_.Messages(), QStringList{QStringLiteral("%1개 키 생성").arg(kRecords)});
  EXPECT_EQ(form_->panRecPos->Caption(), QStringLiteral("1 / %1").arg(kRecords));
  EXPECT_EQ(form_->panRecPos->toolTip(),
            QStringLiteral("POSTCODE.DBF: 2024-07-15, %1개 레코드").arg(kRecords));

  form_->CheckBoxMsg->setChecked(false);
  SearchByReturn(QStringLiteral("테헤란로 짝수"));
  EXPECT_EQ(Shown(), std::vector<int>{2});
  EXPECT_EQ(form_->panRecPos->Caption(), QStringLiteral("2 / %1").arg(kRecords));
  form_->Post1->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("06237"));  // no blanks after it
  form_->Juso2->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(),
            QStringLiteral("서울특별시 강남구 테헤란로 102∼152 (짝수)"));

  // A zone number finds its road and its lot rows; both dial 032 (the islands).
  SearchByReturn(QStringLiteral("15654"));
  EXPECT_EQ(Shown(), (std::vector<int>{5, 8}));
  EXPECT_EQ(form_->Table1->FieldString(QStringLiteral("DDD")), QByteArray("032 "));
  EXPECT_EQ(form_->panRecPos->Caption(), QStringLiteral("5 / %1").arg(kRecords));
  form_->Juso2->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(),
            QStringLiteral("경기도 안산시 단원구 대부황금로 1∼99 (홀수)"));

  SearchByReturn(QStringLiteral("군위군 동부리"));
  EXPECT_EQ(Shown(), std::vector<int>{9});
  EXPECT_EQ(form_->Table1->FieldString(QStringLiteral("DDD")), QByteArray("054 "));

  // The longest address fits its column whole: no part of it is cut off.
  SearchByReturn(QStringLiteral("진전면오서리새마을안길너머옛우물가는큰길"));
  ASSERT_EQ(Shown(), std::vector<int>{6});
  auto* grid = static_cast<TDBGrid*>(form_->DBGrid1);
  int etc = -1;
  for (int c = 0; c < grid->ColumnCount(); ++c)
    if (grid->ColumnFieldName(c) == QLatin1String("ETC")) etc = c;
  ASSERT_GE(etc, 0);
  EXPECT_EQ(grid->CellText(0, etc).trimmed(), QString::fromUtf8(kLongest));
  EXPECT_GE(grid->ColumnWidth(etc), QFontMetrics(grid->font()).horizontalAdvance(kLongest));
}
