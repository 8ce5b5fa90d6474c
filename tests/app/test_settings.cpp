// The program's settings access: the LOG folder beside the program, the
// upper-casing of ReadSetting and the write error.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/Settings.h"

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { app::SetProgramFolder(dir_.path()); }
  void TearDown() override { app::SetProgramFolder(QString()); }
  void PutIni(const QByteArray& bytes) {
    QDir().mkpath(app::SettingsFolder());
    QFile f(app::SettingsFilePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QTemporaryDir dir_;
};

TEST_F(SettingsTest, PathIsLogKolbrentIniInTheProgramFolder) {
  EXPECT_EQ(app::SettingsFolder(), dir_.path() + "/LOG");
  EXPECT_EQ(app::SettingsFilePath(), dir_.path() + "/LOG/KOLBRENT.INI");
}

TEST_F(SettingsTest, ReadCreatesTheFolderAndGivesTheDefaultUpperCased) {
  EXPECT_EQ(app::ReadSetting("QORVA", "MSG", "y"), "Y");
  EXPECT_TRUE(QDir(app::SettingsFolder()).exists());
  EXPECT_FALSE(QFile::exists(app::SettingsFilePath()));
}

TEST_F(SettingsTest, ReadUpperCasesOnlyAsciiLetters) {
  PutIni("[QORVA]\nMSG=y\nA=yes\nB=\nK=가b-ä\n");
  EXPECT_EQ(app::ReadSetting("QORVA", "MSG", "Y"), "Y");
  EXPECT_EQ(app::ReadSetting("QORVA", "A", "Y"), "YES");
  EXPECT_EQ(app::ReadSetting("QORVA", "B", "Y"), "");
  EXPECT_EQ(app::ReadSetting("QORVA", "K", "Y"), QString::fromUtf8("가B-ä"));
}

TEST_F(SettingsTest, CaptionIsReadAsStored) {
  PutIni("[QORVA]\nCAPTION=My finder\n");
  EXPECT_EQ(app::ReadSettingAsStored("QORVA", "CAPTION", app::kDefaultCaption), "My finder");
  EXPECT_EQ(app::ReadSettingAsStored("QORVA", "NONE", app::kDefaultCaption),
            QString(app::kDefaultCaption));
}

TEST_F(SettingsTest, WriteCreatesFolderFileAndSection) {
  EXPECT_TRUE(app::WriteSetting("QORVA", "MSG", "N"));
  QFile f(app::SettingsFilePath());
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("[QORVA]\nMSG=N\n"));
}

TEST_F(SettingsTest, UnusableFolderGivesDefaultsAndTheWriteError) {
  // A plain file where the LOG folder should be: it can be neither created
  // nor written into (whatever the user's rights).
  {
    QFile blocker(app::SettingsFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("[QORVA]\nMSG=N\n");
  }
  EXPECT_EQ(app::ReadSetting("QORVA", "MSG", "Y"), "Y");
  try {
    app::WriteSetting("QORVA", "MSG", "N");
    FAIL() << "no error raised";
  } catch (const app::ESettingsWriteError& e) {
    EXPECT_EQ(QString::fromUtf8(e.what()),
              "Unable to write to " + dir_.path() + "/LOG/KOLBRENT.INI");
  }
}

}  // namespace
