// The data-aware grid offscreen over a few thousand in-memory rows: the rows
// it shows, keyboard, mouse and wheel moves, the scroll bar, columns.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTest>

#include "FakeDataSet.h"
#include "dataset/DBGrid.h"
#include "dataset/DataSource.h"

namespace {

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    src.SetDataSet(&ds);
    grid.SetDataSource(&src);
    grid.AddColumn("VALUE", "값", 80);
    grid.resize(300, 240);
    grid.show();
    ds.Open();
  }
  int ShownRecno(int row) { return grid.CellText(row, 0).toInt() / 10; }

  FakeDataSet ds{3000};
  TDataSource src;
  TDBGrid grid;
};

TEST_F(GridTest, WindowHasAsManyRowsAsTheGridShows) {
  const int rows = grid.VisibleRowCount();
  ASSERT_GT(rows, 3);
  EXPECT_EQ(ds.WindowRows(), rows);
  EXPECT_EQ(grid.ShownRowCount(), rows);
  for (int r = 0; r < rows; ++r) EXPECT_EQ(ShownRecno(r), r + 1);
  grid.resize(300, 480);
  QApplication::processEvents();
  EXPECT_EQ(ds.WindowRows(), grid.VisibleRowCount());
  EXPECT_GT(grid.VisibleRowCount(), rows);
  EXPECT_EQ(ShownRecno(grid.VisibleRowCount() - 1), grid.VisibleRowCount());
}

TEST_F(GridTest, KeysMoveThroughTheWholeTable) {
  const int rows = grid.VisibleRowCount();
  QTest::keyClick(&grid, Qt::Key_Down);
  EXPECT_EQ(ds.activeRecno(), 2);
  EXPECT_EQ(grid.CurrentRow(), 1);
  QTest::keyClick(&grid, Qt::Key_PageDown);
  EXPECT_EQ(ds.activeRecno(), 2 + rows);
  EXPECT_EQ(grid.CurrentRow(), rows - 1);
  EXPECT_EQ(ShownRecno(rows - 1), 2 + rows);
  QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(ds.activeRecno(), 3000);
  EXPECT_EQ(ShownRecno(rows - 1), 3000);
  EXPECT_EQ(ShownRecno(0), 3001 - rows);
  QTest::keyClick(&grid, Qt::Key_Up);
  EXPECT_EQ(ds.activeRecno(), 2999);
  QTest::keyClick(&grid, Qt::Key_PageUp);
  EXPECT_EQ(ds.activeRecno(), 2999 - rows);
  QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(ds.activeRecno(), 1);
  // A walk row by row across the window edges shows consecutive records.
  for (int i = 0; i < 2 * rows; ++i) QTest::keyClick(&grid, Qt::Key_Down);
  for (int r = 0; r < rows; ++r) EXPECT_EQ(ShownRecno(r), rows + 2 + r);
}

TEST_F(GridTest, ScrollBarFollowsThePosition) {
  QScrollBar* v = grid.verticalScrollBar();
  EXPECT_EQ(v->maximum(), 2999);
  EXPECT_EQ(v->value(), 0);
  ds.MoveRows(500);
  EXPECT_EQ(v->value(), 500);
  v->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(ds.activeRecno(), 3000);
  EXPECT_EQ(v->value(), 2999);
  v->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(ds.activeRecno(), 2999);
  v->setSliderPosition(1499);  // dragging the thumb
  EXPECT_EQ(ds.activeRecno(), 1500);
}

TEST_F(GridTest, MouseClickSelectsTheRowAndWheelScrolls) {
  const int row = 3;
  const QPoint p(40, grid.TitleHeight() + row * grid.RowHeight() + grid.RowHeight() / 2);
  QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, p);
  EXPECT_EQ(grid.CurrentRow(), row);
  EXPECT_EQ(ds.activeRecno(), row + 1);
  QWheelEvent down(QPointF(40, 40), grid.mapToGlobal(QPointF(40, 40)), QPoint(), QPoint(0, -240),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid.viewport(), &down);
  EXPECT_EQ(ds.activeRecno(), row + 3);
}

TEST_F(GridTest, TabMovesBetweenColumnsAndTitlesResize) {
  grid.AddColumn("VALUE", QString(), -1);
  EXPECT_EQ(grid.SelectedIndex(), 0);
  QTest::keyClick(&grid, Qt::Key_Tab);
  EXPECT_EQ(grid.SelectedIndex(), 1);
  QTest::keyClick(&grid, Qt::Key_Tab);  // past the last column: next row
  EXPECT_EQ(grid.SelectedIndex(), 0);
  EXPECT_EQ(ds.activeRecno(), 2);
  EXPECT_EQ(grid.ColumnTitle(1), "VALUE");
  EXPECT_GT(grid.ColumnWidth(1), 0);
  // Drag the border of the first column in the title row.
  const int border = TDBGrid::kIndicatorWidth + 80;
  const int y = grid.TitleHeight() / 2;
  QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, QPoint(border, y));
  QMouseEvent move(QEvent::MouseMove, QPointF(border + 30, y),
                   grid.viewport()->mapToGlobal(QPointF(border + 30, y)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grid.viewport(), &move);
  QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, QPoint(border + 30, y));
  EXPECT_EQ(grid.ColumnWidth(0), 110);
}

TEST_F(GridTest, AColumnWithoutWidthFitsItsTitleInTheTitleFont) {
  const int col = grid.AddColumn("VALUE", QStringLiteral("A rather long column title"), -1);
  const int before = grid.ColumnWidth(col);
  QFont big = grid.TitleFont();
  big.setPointSizeF(std::max(8.0, big.pointSizeF()) * 3);
  grid.SetTitleFont(big);
  EXPECT_GE(grid.ColumnWidth(col),
            QFontMetrics(big).horizontalAdvance(QStringLiteral("A rather long column title")));
  EXPECT_GT(grid.ColumnWidth(col), before);
}

TEST_F(GridTest, ClosedDatasetShowsNoRows) {
  ds.Close();
  EXPECT_EQ(grid.ShownRowCount(), 0);
  EXPECT_EQ(grid.CellText(0, 0), QString());
  grid.repaint();  // paints titles only, reads nothing
}

TEST_F(GridTest, NeverEdits) {
  grid.SetOptions(dgEditing | dgTitles | dgRowSelect);
  EXPECT_FALSE(grid.Options() & dgEditing);
}

}  // namespace
