// Desktop habits of the main window that move no control: Return on the
// focused 찾기 button, the grid's menu from the keyboard, the smallest size
// and the address column that takes what a wider window gains.
#include <QCheckBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "FormFixture.h"
#include "search/SearchRun.h"

namespace {

class FormDesktop : public FormFixture {
 protected:
  int AddressColumn() {
    for (int c = 0; c < Form().DBGrid1->ColumnCount(); ++c)
      if (Form().DBGrid1->ColumnFieldName(c) == QLatin1String("ETC")) return c;
    return -1;
  }
};

TEST_F(FormDesktop, ReturnOnTheFocusedSearchButtonClicksIt) {
  // A search is seen by the count box it shows (the search while typing
  // shows none): 개포1동 has three rows of the six-row table.
  PutPostalData();
  ShowActive();
  TFormMain& f = Form();
  f.OpenPostalData();
  ASSERT_TRUE(f.Table1->Active());
  f.CheckBoxMsg->setChecked(true);
  f.edSearch->setText(QString::fromUtf8("개포1동"));
  QCoreApplication::processEvents();
  messages_.Clear();
  auto searches = [&] { return messages_.Messages().count(search::CountMessage(3)); };
  auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers) {
    f.butFilt->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), f.butFilt);
    QTest::keyClick(f.butFilt, key, modifiers);
  };
  press(Qt::Key_Return, Qt::NoModifier);
  EXPECT_EQ(searches(), 1);
  EXPECT_EQ(f.Table1->QueryRecCount(), 3);
  press(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(searches(), 2);
  press(Qt::Key_Return, Qt::ControlModifier);
  EXPECT_EQ(searches(), 2);
  // Return elsewhere does not press the button; in the box it searches once.
  f.edSearch->setFocus();
  QTest::keyClick(f.edSearch, Qt::Key_Return);
  EXPECT_EQ(searches(), 3);
  f.MemoDisp->setFocus();
  QTest::keyClick(f.MemoDisp, Qt::Key_Return);
  EXPECT_EQ(searches(), 3);
}

TEST_F(FormDesktop, TheGridsMenuOpensFromTheKeyboard) {
  ShowActive();
  TFormMain& f = Form();
  for (auto [key, modifiers] : {std::pair{Qt::Key_Menu, Qt::KeyboardModifiers()},
                                std::pair{Qt::Key_F10, Qt::KeyboardModifiers(Qt::ShiftModifier)}}) {
    f.DBGrid1->setFocus();
    ASSERT_FALSE(f.PopupMenu1->isVisible());
    QTest::keyClick(f.DBGrid1, key, modifiers);
    EXPECT_TRUE(f.PopupMenu1->isVisible()) << key;
    // Over the grid, so that the menu belongs to what it acts on.
    EXPECT_TRUE(f.DBGrid1->rect().contains(f.DBGrid1->mapFromGlobal(f.PopupMenu1->pos())));
    f.PopupMenu1->hide();
    // As a desktop does when a menu closes: the window is active again.
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  }
  f.DBGrid1->setFocus();
  QTest::keyClick(f.DBGrid1, Qt::Key_F10);
  EXPECT_FALSE(f.PopupMenu1->isVisible());
}

TEST_F(FormDesktop, NeverSmallerThanDesignedAndAWiderWindowWidensTheAddressColumn) {
  ShowActive();
  TFormMain& f = Form();
  const int etc = AddressColumn();
  ASSERT_GE(etc, 0);
  EXPECT_EQ(f.DBGrid1->ColumnWidth(etc), TFormMain::kAddressColumnWidth);
  f.resize(400, 300);
  QApplication::processEvents();
  EXPECT_EQ(f.size(), QSize(TFormMain::kClientWidth, TFormMain::kClientHeight));
  EXPECT_EQ(f.DBGrid1->ColumnWidth(etc), TFormMain::kAddressColumnWidth);
  f.resize(1000, 700);
  QApplication::processEvents();
  EXPECT_EQ(f.DBGrid1->ColumnWidth(etc), TFormMain::kAddressColumnWidth + 1000 - 736);
  // The other columns and the layout's controls stay as designed.
  EXPECT_EQ(f.DBGrid1->ColumnWidth(1), 50);
  EXPECT_EQ(f.edSearch->geometry(), QRect(119, 7, 162, 20));
  // A width the user gave the column is kept, and the window's gain added.
  f.DBGrid1->SetColumnWidth(etc, 700);
  f.resize(900, 700);
  QApplication::processEvents();
  EXPECT_EQ(f.DBGrid1->ColumnWidth(etc), 600);
  f.resize(736, 566);
  QApplication::processEvents();
  EXPECT_EQ(f.DBGrid1->ColumnWidth(etc), 436);
}

}  // namespace
