// The real main window, offscreen, in folders of its own: a program folder
// (the test puts its table there), a working directory for the index and a
// private runtime folder for the single-instance marker; and what a user
// does in the window to search.
#pragma once
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/FormMain.h"
#include "app/Settings.h"
#include "platform/MessageBox.h"
#include "table/DbfTable.h"

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.isValid() && work_.isValid() && runtime_.isValid());
    savedRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
    app::SetProgramFolder(program_.path());
    savedDir_ = QDir::currentPath();
    QDir::setCurrent(work_.path());
  }
  void TearDown() override {
    form_.reset();
    QDir::setCurrent(savedDir_);
    app::SetProgramFolder(QString());
    qputenv("XDG_RUNTIME_DIR", savedRuntime_);
  }

  std::string TablePath() const { return program_.path().toStdString() + "/POSTCODE.DBF"; }
  TFormMain& Form() { return *form_; }

  void SearchByReturn(const QString& text) {
    Form().edSearch->setFocus();
    Form().edSearch->setText(text);
    QTest::keyClick(Form().edSearch, Qt::Key_Return);
  }
  // The rows the grid's dataset shows, walked from the top (the grid's own
  // window of rows is checked separately).
  std::vector<int> Shown() {
    TDbfTable& t = *Form().Table1;
    std::vector<int> recnos;
    for (t.First(); !t.Eof(); t.Next()) recnos.push_back(t.Recno());
    t.First();
    return recnos;
  }

  platform::MessageRecorder messages_;
  std::unique_ptr<TFormMain> form_;
  QTemporaryDir program_, work_, runtime_;
  QByteArray savedRuntime_;
  QString savedDir_;
};
