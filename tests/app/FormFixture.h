#pragma once
// A main window for tests: its settings in a temporary program folder, its
// message boxes and web addresses recorded, its start-up sequence only when a
// test runs it, and its own single-instance marker in a private runtime
// folder.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "PostalTables.h"
#include "app/FormMain.h"
#include "app/Settings.h"
#include "platform/MessageBox.h"
#include "platform/OpenUrl.h"

class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(programDir_.isValid());
    ASSERT_TRUE(runtimeDir_.isValid());
    savedRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtimeDir_.path().toLocal8Bit());
    app::SetProgramFolder(programDir_.path());
  }
  void TearDown() override {
    form_.reset();
    app::SetProgramFolder(QString());
    qputenv("XDG_RUNTIME_DIR", savedRuntime_);
    if (!savedWorkDir_.isEmpty()) QDir::setCurrent(savedWorkDir_);
  }

  // The six-row postal table beside the program and a working folder of the
  // test's own for its index, as a start of the program finds them.
  void PutPostalData() {
    testsupport::WriteSmallTable(ProgramDir().toStdString());
    EnterWorkFolder();
  }
  // The same with a table of the given source rows (testsupport::WritePostcodeTable).
  void PutPostalRows(std::initializer_list<const char*> rows) {
    testsupport::WritePostcodeTable(ProgramDir().toStdString(), rows);
    EnterWorkFolder();
  }

  TFormMain& Form() {
    if (!form_) {
      form_ = std::make_unique<TFormMain>();
      form_->InstanceMarkerName = QStringLiteral("TestMarker");
      form_->SetActivateOnShow(false);
    }
    return *form_;
  }

  // Shows the window and waits until it is active, so that keys reach the
  // focus widget as they do on a desktop.
  void ShowActive() {
    Form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form()));
    Form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form()));
  }

  QString ProgramDir() const { return programDir_.path(); }

  void EnterWorkFolder() {
    ASSERT_TRUE(workDir_.isValid());
    if (savedWorkDir_.isEmpty()) savedWorkDir_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workDir_.path()));
  }

  platform::MessageRecorder messages_;
  platform::UrlRecorder urls_;
  std::unique_ptr<TFormMain> form_;

 private:
  QTemporaryDir programDir_;
  QTemporaryDir runtimeDir_;
  QTemporaryDir workDir_;
  QByteArray savedRuntime_;
  QString savedWorkDir_;
};
