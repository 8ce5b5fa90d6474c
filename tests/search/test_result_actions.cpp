// The popup menu's copies and the record position display.
#include <QApplication>
#include <QClipboard>

#include "PostalFixture.h"
#include "search/ResultActions.h"
#include "search/SearchRun.h"

using searchtest::SmallTableFixture;

class ResultActions : public SmallTableFixture {};

TEST_F(ResultActions, PostalCodeUnchangedAndAddressWithoutTrailingBlanks) {
  table_->SetRecno(2);
  search::Post1Click(parts);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("135-807"));
  search::Juso2Click(parts);
  EXPECT_EQ(QApplication::clipboard()->text(),
            QStringLiteral("서울 강남구 개포1동 우성3차아파트 (1∼6동)"));
  table_->SetRecno(3);
  search::Juso2Click(parts);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("서울 강남구 개포2동"));
}

TEST_F(ResultActions, CopiesActOnTheGridsCurrentRow) {
  edSearch->setText(QStringLiteral("개포1동"));
  search::RunSearch(parts);
  table_->Next();  // the second marked row: record 2
  search::Post1Click(parts);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("135-807"));
  table_->Next();  // record 4
  search::Juso2Click(parts);
  EXPECT_EQ(QApplication::clipboard()->text(),
            QStringLiteral("서울 강남구 개포1동 주공아파트 (1∼16동)"));
}

TEST_F(ResultActions, NothingIsCopiedWhenNothingMatched) {
  QApplication::clipboard()->setText(QStringLiteral("kept"));
  CheckBoxMsg->setChecked(false);
  edSearch->setText(QStringLiteral("없는말"));
  search::RunSearch(parts);
  ASSERT_TRUE(table_->IsEmpty()) << "the grid shows no row";
  search::Post1Click(parts);
  search::Juso2Click(parts);
  search::CopyRowClick(parts);
  search::CopyFieldClick(parts, QStringLiteral("ETC"));
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept"));
  // A field the table lacks copies nothing either.
  edSearch->setText(QStringLiteral("개포2동"));
  search::RunSearch(parts);
  search::CopyFieldClick(parts, QStringLiteral("JIBUN"));
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept"));
  search::CopyFieldClick(parts, QStringLiteral("ETC"));
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("서울 강남구 개포2동"));
}

TEST_F(ResultActions, PositionIsTheRecordNumberOverTheRecordCount) {
  EXPECT_EQ(*search::RecordPositionCaption(*table_), QStringLiteral("1 / 6"));
  edSearch->setText(QStringLiteral("역삼동"));
  search::RunSearch(parts);
  // The physical number of the one match over every record, not 1 / 1.
  EXPECT_EQ(*search::RecordPositionCaption(*table_), QStringLiteral("6 / 6"));
}

TEST_F(ResultActions, NoPositionOutsideTheBrowseState) {
  search::ClosePostalData(parts);
  EXPECT_FALSE(search::RecordPositionCaption(*table_).has_value());
}

TEST_F(ResultActions, ThePositionStaysOnTheFirstRecordThroughABuild) {
  // The progress bar counts the build; the position display is not walked
  // through every record, and shows the first once the build is through.
  search::ClosePostalData(parts);
  std::filesystem::remove(IndexPath());
  QStringList captions;
  QObject watching;  // the connection ends with the test
  QObject::connect(source_, &TDataSource::DataChange, &watching, [&] {
    if (auto c = search::RecordPositionCaption(*table_)) captions.append(*c);
  });
  Open();
  for (int i = 2; i <= 6; ++i)
    EXPECT_FALSE(captions.contains(QStringLiteral("%1 / 6").arg(i)))
        << captions.join('|').toStdString();
  ASSERT_FALSE(captions.isEmpty());
  EXPECT_EQ(captions.back(), QStringLiteral("1 / 6"));
}

TEST_F(ResultActions, TheTableIsNamedWithItsDateAndRecordCount) {
  EXPECT_EQ(search::LoadedTableToolTip(*table_),
            QStringLiteral("POSTCODE.DBF: 2017-05-31, 6개 레코드"));
  // The opening stage puts it on the position display.
  search::ClosePostalData(parts);
  QWidget display;
  parts.panRecPos = &display;
  Open();
  parts.panRecPos = nullptr;
  EXPECT_EQ(display.toolTip(), QStringLiteral("POSTCODE.DBF: 2017-05-31, 6개 레코드"));
}
