// Key preview: F5 and Esc from any control, Return in the search box with any
// modifier, the search button. A search is seen by what it leaves: the rows
// of the matches in the grid, the query set and the count message.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "FormFixture.h"
#include "search/SearchRun.h"

namespace {

class FormKeys : public FormFixture {
 protected:
  // Shows the window with the six-row table open and its index built.
  void ShowWithData() {
    PutPostalData();
    ShowActive();
    Form().OpenPostalData();
    ASSERT_TRUE(Form().Table1->Active());
    messages_.Clear();
  }
  // Every record visible again, no message recorded.
  void ShowAll() {
    Form().Table1->Query("");
    ASSERT_EQ(Form().Table1->QueryRecCount(), 6);
    messages_.Clear();
  }
  // The three rows of 개포1동 are the grid's rows, and the count was shown
  // once: one search ran.
  void ExpectOneSearchOf3() {
    EXPECT_EQ(Form().Table1->QueryRecCount(), 3);
    EXPECT_EQ(Form().Table1->WindowRecordCount(), 3);
    EXPECT_EQ(messages_.Messages(), QStringList{search::CountMessage(3)});
  }
};

TEST_F(FormKeys, F5SelectsTheWholeSearchTextAndFocusesIt) {
  ShowActive();
  TFormMain& f = Form();
  f.edSearch->setText(QString::fromUtf8("서울 종로"));
  f.edSearch->setCursorPosition(1);
  f.DBGrid1->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), f.DBGrid1);
  QTest::keyClick(f.DBGrid1, Qt::Key_F5);
  EXPECT_EQ(QApplication::focusWidget(), f.edSearch);
  EXPECT_EQ(f.edSearch->selectedText(), QString::fromUtf8("서울 종로"));
  // Typing now replaces the text.
  QTest::keyClicks(f.edSearch, "abc");
  EXPECT_EQ(f.edSearch->text(), "abc");
}

TEST_F(FormKeys, F5WithModifiersStillSelects) {
  ShowActive();
  TFormMain& f = Form();
  f.edSearch->setText("abc");
  f.MemoDisp->setFocus();
  QTest::keyClick(f.MemoDisp, Qt::Key_F5, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(QApplication::focusWidget(), f.edSearch);
  EXPECT_EQ(f.edSearch->selectedText(), "abc");
}

TEST_F(FormKeys, EscClosesTheWindowFromAnyControl) {
  for (int which = 0; which < 4; ++which) {
    form_.reset();
    ShowActive();
    TFormMain& f = Form();
    QWidget* targets[] = {f.DBGrid1, f.edSearch, f.CheckBoxMsg, f.MemoDisp};
    targets[which]->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), targets[which]);
    QTest::keyClick(targets[which], Qt::Key_Escape);
    EXPECT_FALSE(f.isVisible()) << which;
  }
}

TEST_F(FormKeys, ReturnInTheSearchBoxWithAnyModifierRunsTheSearchEntry) {
  ShowWithData();
  TFormMain& f = Form();
  f.edSearch->setText(QString::fromUtf8("개포1동"));
  const std::pair<Qt::Key, Qt::KeyboardModifiers> presses[] = {
      {Qt::Key_Return, Qt::NoModifier},
      {Qt::Key_Return, Qt::ShiftModifier},
      {Qt::Key_Return, Qt::ControlModifier},
      {Qt::Key_Enter, Qt::KeypadModifier},
  };
  for (const auto& [key, modifiers] : presses) {
    ShowAll();
    f.edSearch->setFocus();
    QTest::keyClick(f.edSearch, key, modifiers);
    ExpectOneSearchOf3();
    EXPECT_EQ(QApplication::focusWidget(), f.DBGrid1);  // the search's own last step
  }
  EXPECT_TRUE(f.isVisible());
}

TEST_F(FormKeys, OtherKeysAndOtherControlsDoNotRunIt) {
  ShowWithData();
  TFormMain& f = Form();
  f.edSearch->setFocus();
  QTest::keyClicks(f.edSearch, "abc");
  QTest::keyClick(f.edSearch, Qt::Key_Tab);
  EXPECT_EQ(f.edSearch->text(), "abc");  // keys still reach the control
  EXPECT_TRUE(messages_.Messages().isEmpty());
  f.edSearch->setText(QString::fromUtf8("개포1동"));
  f.DBGrid1->setFocus();
  QTest::keyClick(f.DBGrid1, Qt::Key_Return);
  EXPECT_EQ(f.Table1->QueryRecCount(), 6);
  EXPECT_TRUE(messages_.Messages().isEmpty());
}

TEST_F(FormKeys, TheSearchButtonRunsTheSearchEntry) {
  ShowWithData();
  TFormMain& f = Form();
  f.edSearch->setText(QString::fromUtf8("개포1동"));
  ShowAll();
  QTest::mouseClick(f.butFilt, Qt::LeftButton);
  ExpectOneSearchOf3();
}

TEST_F(FormKeys, EachKeyIsPreviewedOnce) {
  ShowWithData();
  TFormMain& f = Form();
  // A line edit passes Return on to its parents (Panel2, the form), and a
  // search that finds no key leaves the focus in the box: the preview must
  // act on the first delivery only, so one search shows one message.
  f.edSearch->setText(QString::fromUtf8("없는말"));
  f.edSearch->setFocus();
  QTest::keyClick(f.edSearch, Qt::Key_Return);
  EXPECT_EQ(messages_.Messages(), QStringList{QString::fromUtf8("FTS 인덱스에 키 없음!")});
  EXPECT_EQ(QApplication::focusWidget(), f.edSearch);
}

}  // namespace
