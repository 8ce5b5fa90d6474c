// Desktop habits of the main window that move no control: Return on the
// focused 찾기 button, the grid's menu from the keyboard, the smallest size
// and the address column that takes what a wider window gains.
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
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

TEST_F(FormDesktop, TheGridsMenuOpensFromTheKeyboardAtTheCurrentRow) {
  PutPostalData();
  ShowActive();
  TFormMain& f = Form();
  f.OpenPostalData();
  ASSERT_TRUE(f.Table1->Active());
  f.DBGrid1->setFocus();
  QTest::keyClick(f.DBGrid1, Qt::Key_Down);
  QTest::keyClick(f.DBGrid1, Qt::Key_Down);
  ASSERT_EQ(f.DBGrid1->CurrentRow(), 2);
  // Just below the current row, where the mouse's menu on that row starts.
  const QRect row = f.DBGrid1->RowRect(2);
  const QPoint atRow = f.DBGrid1->viewport()->mapToGlobal(QPoint(row.left() + 16, row.bottom()));
  auto expectMenuAt = [&](const QPoint& at, const char* how) {
    EXPECT_TRUE(f.PopupMenu1->isVisible()) << how;
    EXPECT_EQ(f.PopupMenu1->pos(), at) << how;
    f.PopupMenu1->hide();
    // As a desktop does when a menu closes: the window is active again.
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.DBGrid1->setFocus();
    ASSERT_FALSE(f.PopupMenu1->isVisible());
  };
  QTest::keyClick(f.DBGrid1, Qt::Key_Menu);
  expectMenuAt(atRow, "menu key");
  QTest::keyClick(f.DBGrid1, Qt::Key_F10, Qt::ShiftModifier);
  expectMenuAt(atRow, "Shift+F10");
  // The X11 platform makes the menu key a context-menu event of its own, at
  // the middle of the focused widget.
  const QPoint middle = f.DBGrid1->rect().center();
  QContextMenuEvent fromKey(QContextMenuEvent::Keyboard, middle, f.DBGrid1->mapToGlobal(middle));
  QApplication::sendEvent(f.DBGrid1, &fromKey);
  expectMenuAt(atRow, "context-menu event from the keyboard");
  // The mouse's menu opens where the mouse is (its event goes to the viewport).
  const QPoint click(200, 30);
  QWidget* viewport = f.DBGrid1->viewport();
  QContextMenuEvent fromMouse(QContextMenuEvent::Mouse, click, viewport->mapToGlobal(click));
  QApplication::sendEvent(viewport, &fromMouse);
  expectMenuAt(viewport->mapToGlobal(click), "mouse");
  // F10 alone opens nothing.
  QTest::keyClick(f.DBGrid1, Qt::Key_F10);
  EXPECT_FALSE(f.PopupMenu1->isVisible());
}

TEST_F(FormDesktop, ARightClickMakesTheRowUnderThePointerCurrentForItsMenu) {
  PutPostalData();
  ShowActive();
  TFormMain& f = Form();
  f.OpenPostalData();
  ASSERT_TRUE(f.Table1->Active());
  ASSERT_EQ(f.DBGrid1->CurrentRow(), 0);
  const QRect third = f.DBGrid1->RowRect(3);
  QTest::mouseClick(f.DBGrid1->viewport(), Qt::RightButton, {}, third.center());
  EXPECT_EQ(f.DBGrid1->CurrentRow(), 3) << "the menu acts on the row that was clicked";
  const int32_t clicked = f.Table1->Recno();
  f.PopupMenu1->hide();
  f.Post1->trigger();
  f.Table1->SetRecno(clicked);
  EXPECT_EQ(QApplication::clipboard()->text().toUtf8(),
            f.Table1->FieldString(QStringLiteral("ZIPCODE")).trimmed());
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
