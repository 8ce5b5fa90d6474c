// The grid over a real table of a few thousand rows, offscreen.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "TableTestSupport.h"
#include "dataset/DBGrid.h"
#include "dataset/DataSource.h"
#include "table/DbfTable.h"

using namespace tabletest;

namespace {

TEST(TableGrid, ScrollsThroughThousandsOfRowsShowingFetchedRecords) {
  TempDir dir;
  WriteNumbered(dir.file("T.DBF"), 4000);
  TDbfTable table;
  TDataSource source;
  source.SetDataSet(&table);
  TDBGrid grid;
  grid.SetDataSource(&source);
  grid.AddColumn("NO", "번호", 60);
  grid.AddColumn("CITY", "주소", 200);
  grid.resize(400, 300);
  grid.show();
  table.SetDatabasename(dir.path());
  table.SetTableName("T.DBF");
  table.SetReadOnly(true);
  table.Open();
  const int rows = grid.VisibleRowCount();
  EXPECT_EQ(table.WindowRows(), rows);
  EXPECT_EQ(grid.CellText(0, 0), "1");
  EXPECT_EQ(grid.CellText(0, 1), QString::fromUtf8("서울 강남구"));
  for (int i = 0; i < 30; ++i) QTest::keyClick(&grid, Qt::Key_PageDown);
  const int at = 1 + 30 * rows;
  EXPECT_EQ(table.Recno(), at);
  for (int r = 0; r < rows; ++r) EXPECT_EQ(grid.CellText(r, 0).toInt(), at - rows + 1 + r);
  EXPECT_EQ(grid.verticalScrollBar()->value(), at - 1);
  QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(grid.CellText(rows - 1, 0), "4000");
  grid.verticalScrollBar()->setSliderPosition(1999);
  EXPECT_EQ(table.Recno(), 2000);
  // Marks restrict what the grid shows.
  table.Query("");
  for (int n : {5, 17, 40}) table.SetQueryBit(n, true);
  table.GoTop();
  EXPECT_EQ(grid.ShownRowCount(), 3);
  EXPECT_EQ(grid.CellText(2, 0), "40");
  grid.grab();  // paints without error
  table.Close();
  EXPECT_EQ(grid.ShownRowCount(), 0);
}

}  // namespace
