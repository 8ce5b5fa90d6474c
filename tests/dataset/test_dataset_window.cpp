// The dataset base's window of rows over an in-memory record source.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <string>

#include "FakeDataSet.h"
#include "dataset/DataSource.h"

namespace {

std::vector<int> Rows(FakeDataSet& ds) {
  std::vector<int> r;
  for (int i = 0; i < ds.WindowRecordCount(); ++i) r.push_back(ds.recnoOfRow(i));
  return r;
}

TEST(DataSetWindow, OpenFillsTheWindowFromTheTop) {
  FakeDataSet ds(100);
  ds.RequestWindowRows(&ds, 5);
  ds.Open();
  EXPECT_TRUE(ds.Active());
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(Rows(ds), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_TRUE(ds.Bof());
  EXPECT_FALSE(ds.Eof());
  EXPECT_EQ(ds.ActiveRow(), 0);
}

TEST(DataSetWindow, EmptySourceLeavesAnEmptyWindowAtBothEnds) {
  FakeDataSet ds(0);
  ds.Open();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(ds.Bof());
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.MoveRows(3), 0);
}

TEST(DataSetWindow, MoveRowsScrollsPastTheWindowEdgeAndStopsAtTheEnd) {
  FakeDataSet ds(12);
  ds.RequestWindowRows(&ds, 5);
  ds.Open();
  EXPECT_EQ(ds.MoveRows(6), 6);
  EXPECT_EQ(ds.activeRecno(), 7);
  EXPECT_EQ(ds.ActiveRow(), 4);
  EXPECT_EQ(Rows(ds), (std::vector<int>{3, 4, 5, 6, 7}));
  EXPECT_EQ(ds.MoveRows(10), 5);  // only 8..12 remain
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.activeRecno(), 12);
  EXPECT_EQ(ds.MoveRows(1), 0);
  EXPECT_EQ(ds.MoveRows(-7), -7);
  EXPECT_EQ(ds.activeRecno(), 5);
  EXPECT_EQ(ds.ActiveRow(), 0);
  EXPECT_EQ(ds.MoveRows(-10), -4);
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(ds.activeRecno(), 1);
}

TEST(DataSetWindow, LastFillsBackwardsAndStandsOnTheLastRow) {
  FakeDataSet ds(50);
  ds.RequestWindowRows(&ds, 4);
  ds.Open();
  ds.Last();
  EXPECT_EQ(Rows(ds), (std::vector<int>{47, 48, 49, 50}));
  EXPECT_EQ(ds.ActiveRow(), 3);
  EXPECT_TRUE(ds.Eof());
  ds.First();
  EXPECT_EQ(ds.activeRecno(), 1);
  EXPECT_TRUE(ds.Bof());
}

TEST(DataSetWindow, RefetchKeepsTheActiveRowWhereItWasOrCentres) {
  FakeDataSet ds(100);
  ds.RequestWindowRows(&ds, 7);
  ds.Open();
  ds.MoveRows(3);  // row 3
  ds.GoRecord(60);
  EXPECT_EQ(ds.ActiveRow(), 3);
  EXPECT_EQ(Rows(ds), (std::vector<int>{57, 58, 59, 60, 61, 62, 63}));
  ds.RefetchWindow(rfCenter);
  EXPECT_EQ(ds.ActiveRow(), 3);
  ds.MoveRows(-3);
  ds.RefetchWindow(rfCenter);
  EXPECT_EQ(ds.ActiveRow(), 3);
  EXPECT_EQ(ds.activeRecno(), 57);
}

TEST(DataSetWindow, RefetchNearTheEndFillsBackwards) {
  FakeDataSet ds(100);
  ds.RequestWindowRows(&ds, 5);
  ds.Open();
  ds.GoRecord(99);
  EXPECT_EQ(Rows(ds), (std::vector<int>{96, 97, 98, 99, 100}));
  EXPECT_EQ(ds.activeRecno(), 99);
}

TEST(DataSetWindow, RefetchOfAnInvisibleRecordTakesTheNextOrThePrior) {
  FakeDataSet ds(20);
  ds.visible = {4, 9, 15};
  ds.RequestWindowRows(&ds, 3);
  ds.Open();
  EXPECT_EQ(Rows(ds), (std::vector<int>{4, 9, 15}));
  ds.GoRecord(10);  // not visible: the next one
  EXPECT_EQ(ds.activeRecno(), 15);
  ds.GoRecord(18);  // nothing after: the prior one
  EXPECT_EQ(ds.activeRecno(), 15);
  ds.visible = {99};  // nothing at all
  ds.GoRecord(5);
  EXPECT_TRUE(ds.IsEmpty());
}

TEST(DataSetWindow, SuspendedRefetchReadsOneRecordAndResumeRefillsOnce) {
  FakeDataSet ds(1000);
  TDataSource src;
  src.SetDataSet(&ds);
  ds.RequestWindowRows(&ds, 10);
  ds.Open();
  ds.MoveRows(4);
  QSignalSpy changes(&src, &TDataSource::DataChange);
  ds.SuspendViewNotifications();
  ds.SuspendViewNotifications();  // nested
  ds.fetches = 0;
  for (int n = 100; n < 200; ++n) ds.GoRecord(n);
  EXPECT_EQ(ds.fetches, 100);  // FetchCurrent only, no window refills
  EXPECT_EQ(ds.activeRecno(), 199);
  ds.ResumeViewNotifications();
  EXPECT_EQ(changes.count(), 0);  // still suspended once
  EXPECT_EQ(ds.WindowRecordCount(), 1);
  ds.ResumeViewNotifications();
  EXPECT_EQ(ds.WindowRecordCount(), 10);
  EXPECT_EQ(ds.ActiveRow(), 4);  // the grid row it stood on before
  EXPECT_EQ(ds.activeRecno(), 199);
  EXPECT_EQ(changes.count(), 1);
  ds.ResumeViewNotifications();  // unbalanced resume is ignored
  EXPECT_FALSE(ds.NotificationsSuspended());
}

TEST(DataSetWindow, ScrollEventsAndRefreshEventsFireInOrder) {
  FakeDataSet ds(30);
  std::string log;
  ds.BeforeOpen = [&](TDataSet&) { log += "BO "; };
  ds.AfterOpen = [&](TDataSet&) { log += "AO "; };
  ds.BeforeScroll = [&](TDataSet&) { log += "BS "; };
  ds.AfterScroll = [&](TDataSet&) { log += "AS "; };
  ds.BeforeRefresh = [&](TDataSet&) { log += "BR "; };
  ds.AfterRefresh = [&](TDataSet&) { log += "AR "; };
  ds.BeforeClose = [&](TDataSet&) { log += "BC "; };
  ds.AfterClose = [&](TDataSet&) { log += "AC "; };
  ds.Open();
  ds.Next();
  ds.Refresh();
  ds.Close();
  ds.Close();  // twice is harmless
  EXPECT_EQ(log, "BO AO AS BS AS BR AR BC AC ");
}

TEST(DataSetWindow, ClosedDatasetRefusesMoves) {
  FakeDataSet ds(3);
  EXPECT_THROW(ds.MoveRows(1), EDatabaseError);
  try {
    ds.First();
    ADD_FAILURE() << "First on a closed dataset did not raise";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Cannot perform this operation on a closed dataset");
  }
}

TEST(DataSetWindow, WindowGrowsAndShrinksAroundTheActiveRow) {
  FakeDataSet ds(100);
  ds.RequestWindowRows(&ds, 5);
  ds.Open();
  ds.MoveRows(4);
  ds.RequestWindowRows(&ds, 2);
  EXPECT_EQ(ds.WindowRecordCount(), 2);
  EXPECT_EQ(ds.activeRecno(), 5);
  ds.RequestWindowRows(&ds, 8);
  EXPECT_EQ(ds.WindowRecordCount(), 8);
  EXPECT_EQ(ds.activeRecno(), 5);
  ds.MoveRows(1);
  EXPECT_EQ(ds.activeRecno(), 6);
  ds.ReleaseWindowRows(&ds);
  EXPECT_EQ(ds.WindowRows(), 1);
  EXPECT_EQ(ds.activeRecno(), 6);
}

TEST(DataSetWindow, BookmarksReturnToTheirRecord) {
  FakeDataSet ds(40);
  ds.RequestWindowRows(&ds, 5);
  ds.Open();
  ds.MoveRows(12);
  const TBookmark b = ds.GetBookmark();
  ASSERT_EQ(b.size(), 4);
  ds.First();
  ds.GotoBookmark(b);
  EXPECT_EQ(ds.activeRecno(), 13);
  EXPECT_EQ(ds.CompareBookmarks(b, TBookmark()), 2);
  EXPECT_TRUE(ds.BookmarkValid(b));
  EXPECT_FALSE(ds.BookmarkValid(TBookmark()));
}

TEST(DataSetWindow, DataSourceReportsStateAndChanges) {
  FakeDataSet ds(10);
  TDataSource src;
  QSignalSpy states(&src, &TDataSource::StateChange);
  QSignalSpy changes(&src, &TDataSource::DataChange);
  src.SetDataSet(&ds);
  EXPECT_EQ(src.State(), dsInactive);
  ds.Open();
  EXPECT_EQ(src.State(), dsBrowse);
  EXPECT_GE(states.count(), 1);
  const int before = changes.count();
  ds.Next();
  EXPECT_EQ(changes.count(), before + 1);
  ds.Close();
  EXPECT_EQ(src.State(), dsInactive);
}

TEST(DataSetWindow, FieldByNameOfAnUnknownFieldRaises) {
  FakeDataSet ds(3);
  ds.SetName("Fake1");
  ds.Open();
  EXPECT_NE(ds.FindField("value"), nullptr);
  EXPECT_THROW(ds.FieldByName("NOPE"), EDatabaseError);
  EXPECT_EQ(ds.FieldByName("VALUE")->AsInteger(), 10);
}

}  // namespace
