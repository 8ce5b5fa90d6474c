// Key preview: F5 and Esc from any control, Return in the search box with any
// modifier, the search button.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

#include "FormFixture.h"

namespace {

class FormKeys : public FormFixture {};

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
  ShowActive();
  TFormMain& f = Form();
  QSignalSpy spy(&f, &TFormMain::SearchEntryRequested);
  f.edSearch->setFocus();
  QTest::keyClick(f.edSearch, Qt::Key_Return);
  QTest::keyClick(f.edSearch, Qt::Key_Return, Qt::ShiftModifier);
  QTest::keyClick(f.edSearch, Qt::Key_Return, Qt::ControlModifier);
  QTest::keyClick(f.edSearch, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(spy.count(), 4);
  EXPECT_TRUE(f.isVisible());
}

TEST_F(FormKeys, OtherKeysAndOtherControlsDoNotRunIt) {
  ShowActive();
  TFormMain& f = Form();
  QSignalSpy spy(&f, &TFormMain::SearchEntryRequested);
  f.edSearch->setFocus();
  QTest::keyClicks(f.edSearch, "abc");
  QTest::keyClick(f.edSearch, Qt::Key_Tab);
  f.DBGrid1->setFocus();
  QTest::keyClick(f.DBGrid1, Qt::Key_Return);
  EXPECT_EQ(spy.count(), 0);
  EXPECT_EQ(f.edSearch->text(), "abc");  // keys still reach the control
}

TEST_F(FormKeys, TheSearchButtonRunsTheSearchEntry) {
  ShowActive();
  TFormMain& f = Form();
  QSignalSpy spy(&f, &TFormMain::SearchEntryRequested);
  QTest::mouseClick(f.butFilt, Qt::LeftButton);
  EXPECT_EQ(spy.count(), 1);
}

TEST_F(FormKeys, EachKeyIsPreviewedOnce) {
  ShowActive();
  TFormMain& f = Form();
  QSignalSpy spy(&f, &TFormMain::SearchEntryRequested);
  // A line edit passes Return on to its parents (Panel2, the form); the
  // preview must act on the first delivery only.
  f.edSearch->setFocus();
  QTest::keyClick(f.edSearch, Qt::Key_Return);
  EXPECT_EQ(spy.count(), 1);
}

}  // namespace
