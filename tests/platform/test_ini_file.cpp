// The settings file reader and writer: defaults, names, the value cut, the
// in-place replacement and the files it refuses to touch.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "IniFolder.h"
#include "platform/IniFile.h"

namespace {

using platform::ReadProfileString;
using platform::WriteProfileString;

class IniFileTest : public IniFolder {
 protected:
  QString Read(const QString& section, const QString& key, const QString& fallback = "DEF") {
    return ReadProfileString(Path(), section, key, fallback);
  }
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGiveTheDefault) {
  EXPECT_EQ(Read("QORVA", "MSG"), "DEF");
  Put("[OTHER]\nMSG=N\n");
  EXPECT_EQ(Read("QORVA", "MSG"), "DEF");
  Put("[QORVA]\nCAPTION=x\n");
  EXPECT_EQ(Read("QORVA", "MSG"), "DEF");
  EXPECT_EQ(Read("QORVA", "CAPTION"), "x");
}

TEST_F(IniFileTest, NamesCompareWithoutCaseAndBlanksAroundAreDropped) {
  Put("; settings\n[ qorva ]\n  msg  =   yes please  \n");
  EXPECT_EQ(Read("QORVA", "MSG"), "yes please");
  EXPECT_EQ(Read("Qorva", "Msg"), "yes please");
}

TEST_F(IniFileTest, EmptyValueIsAValueNotTheDefault) {
  Put("[QORVA]\nMSG=\n");
  EXPECT_EQ(Read("QORVA", "MSG"), "");
}

TEST_F(IniFileTest, EnclosingQuotesAreStripped) {
  Put("[QORVA]\nA=\"quoted text\"\nB='single'\nC=\"unbalanced\n");
  EXPECT_EQ(Read("QORVA", "A"), "quoted text");
  EXPECT_EQ(Read("QORVA", "B"), "single");
  EXPECT_EQ(Read("QORVA", "C"), "\"unbalanced");
}

TEST_F(IniFileTest, CommentedKeysAndOtherSectionsAreNotRead) {
  Put("[QORVA]\n;MSG=N\n#MSG=N\n[NEXT]\nMSG=N\n");
  EXPECT_EQ(Read("QORVA", "MSG"), "DEF");
}

TEST_F(IniFileTest, FirstOfDuplicateKeysWins) {
  Put("[QORVA]\nMSG=first\nMSG=second\n");
  EXPECT_EQ(Read("QORVA", "MSG"), "first");
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Characters) {
  QString exact(2047, QChar('a'));
  QString longer = QString(2047, QChar('b')) + "tail";
  Put(("[QORVA]\nA=" + exact + "\nB=" + longer + "\n").toUtf8());
  EXPECT_EQ(Read("QORVA", "A"), exact);
  EXPECT_EQ(Read("QORVA", "B"), QString(2047, QChar('b')));
}

TEST_F(IniFileTest, CutNeverSplitsASurrogatePair) {
  // 2046 letters, then a character outside the BMP that would straddle 2047.
  QString value = QString(2046, QChar('a')) + QString::fromUtf8("\xF0\x9F\x93\xAE") + "zz";
  Put(("[QORVA]\nA=" + value + "\n").toUtf8());
  QString read = Read("QORVA", "A");
  EXPECT_EQ(read, QString(2046, QChar('a')));
}

TEST_F(IniFileTest, KoreanTextRoundTripsAsUtf8) {
  const QString caption = QString::fromUtf8("우편번호 찾기 (테스트)");
  ASSERT_TRUE(WriteProfileString(Path(), "QORVA", "CAPTION", caption));
  EXPECT_EQ(Read("QORVA", "CAPTION"), caption);
  EXPECT_TRUE(Get().contains(caption.toUtf8()));
}

TEST_F(IniFileTest, WriteCreatesFileAndSection) {
  ASSERT_TRUE(WriteProfileString(Path(), "QORVA", "MSG", "Y"));
  EXPECT_EQ(Get(), QByteArray("[QORVA]\nMSG=Y\n"));
}

TEST_F(IniFileTest, WriteReplacesInPlaceKeepingEveryOtherLine) {
  Put("; my comment\n[First]\nx=1\n\n[qorva]\nCAPTION=Mine\nmsg=Y ; old\n# note\nOther=7\n\n"
      "[Last]\nMSG=keep\n");
  ASSERT_TRUE(WriteProfileString(Path(), "QORVA", "MSG", "N"));
  EXPECT_EQ(Get(), QByteArray("; my comment\n[First]\nx=1\n\n[qorva]\nCAPTION=Mine\nMSG=N\n"
                              "# note\nOther=7\n\n[Last]\nMSG=keep\n"));
}

TEST_F(IniFileTest, NewKeyGoesAtTheEndOfItsSection) {
  Put("[QORVA]\nCAPTION=Mine\n\n[Last]\nA=1\n");
  ASSERT_TRUE(WriteProfileString(Path(), "QORVA", "MSG", "Y"));
  EXPECT_EQ(Get(), QByteArray("[QORVA]\nCAPTION=Mine\nMSG=Y\n\n[Last]\nA=1\n"));
}

TEST_F(IniFileTest, NewSectionIsAppendedAfterABlankLine) {
  Put("[Other]\nA=1");  // no final line break
  ASSERT_TRUE(WriteProfileString(Path(), "QORVA", "MSG", "Y"));
  EXPECT_EQ(Get(), QByteArray("[Other]\nA=1\n\n[QORVA]\nMSG=Y\n"));
}

TEST_F(IniFileTest, WindowsLineEndsAndByteOrderMarkAreKept) {
  Put("\xEF\xBB\xBF[QORVA]\r\nMSG=Y\r\nCAPTION=c\r\n");
  EXPECT_EQ(Read("QORVA", "MSG"), "Y");
  ASSERT_TRUE(WriteProfileString(Path(), "QORVA", "MSG", "N"));
  EXPECT_EQ(Get(), QByteArray("\xEF\xBB\xBF[QORVA]\r\nMSG=N\r\nCAPTION=c\r\n"));
}

TEST_F(IniFileTest, BinaryOrInvalidTextReadsAsDefaultsAndIsNeverRewritten) {
  const QByteArray binary("[QORVA]\nMSG=N\n\0\x01\x02", 17);
  Put(binary);
  EXPECT_EQ(Read("QORVA", "MSG"), "DEF");
  EXPECT_FALSE(WriteProfileString(Path(), "QORVA", "MSG", "Y"));
  EXPECT_EQ(Get(), binary);

  const QByteArray latin1("[QORVA]\nMSG=\xE9t\xE9\n");
  Put(latin1);
  EXPECT_EQ(Read("QORVA", "MSG"), "DEF");
  EXPECT_FALSE(WriteProfileString(Path(), "QORVA", "MSG", "Y"));
  EXPECT_EQ(Get(), latin1);
}

TEST_F(IniFileTest, OversizedFileIsNotASettingsFile) {
  QByteArray big = "[QORVA]\nMSG=N\n" + QByteArray(platform::kMaxProfileFileSize, ';');
  Put(big);
  EXPECT_EQ(Read("QORVA", "MSG"), "DEF");
  EXPECT_FALSE(WriteProfileString(Path(), "QORVA", "MSG", "Y"));
  EXPECT_EQ(Get().size(), big.size());
}

TEST_F(IniFileTest, UnwritablePlacesFailAndLeaveNoFile) {
  const QString missingFolder = dir_.filePath("no/such/folder/KOLBRENT.INI");
  EXPECT_FALSE(WriteProfileString(missingFolder, "QORVA", "MSG", "Y"));
  EXPECT_FALSE(QFile::exists(missingFolder));
  // A folder where the file should be.
  ASSERT_TRUE(QDir(dir_.path()).mkdir("KOLBRENT.INI"));
  EXPECT_FALSE(WriteProfileString(Path(), "QORVA", "MSG", "Y"));
  EXPECT_EQ(Read("QORVA", "MSG"), "DEF");
}

TEST_F(IniFileTest, AFifoInTheFilesPlaceIsNeitherWaitedOnNorReplaced) {
  ASSERT_EQ(::mkfifo(Path().toLocal8Bit().constData(), 0600), 0);
  EXPECT_EQ(Read("QORVA", "MSG"), "DEF");  // returns at once: no writer ever comes
  QString why;
  EXPECT_FALSE(WriteProfileString(Path(), "QORVA", "MSG", "Y", &why));
  EXPECT_FALSE(why.isEmpty());
  struct stat st {};
  ASSERT_EQ(::lstat(Path().toLocal8Bit().constData(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(QDir(dir_.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList{"KOLBRENT.INI"});
}

TEST_F(IniFileTest, ALinkedFileIsReadAndRewrittenThroughItsLink) {
  const QString real = dir_.filePath("mine.ini");
  {
    QFile f(real);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; mine\n[QORVA]\nCAPTION=c\nMSG=Y\n");
  }
  ASSERT_TRUE(QFile::link("mine.ini", Path()));
  EXPECT_EQ(Read("QORVA", "MSG"), "Y");
  ASSERT_TRUE(WriteProfileString(Path(), "QORVA", "MSG", "N"));
  EXPECT_TRUE(QFileInfo(Path()).isSymLink());
  QFile f(real);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("; mine\n[QORVA]\nCAPTION=c\nMSG=N\n"));
}

TEST_F(IniFileTest, TextsThatWouldBreakTheLineFormatAreRefused) {
  Put("[QORVA]\nMSG=Y\n");
  EXPECT_FALSE(WriteProfileString(Path(), "QORVA", "MSG", "N\n[EVIL]"));
  EXPECT_FALSE(WriteProfileString(Path(), "QORVA", "MSG", "N\rX"));
  EXPECT_FALSE(WriteProfileString(Path(), "QORVA", "A=B", "N"));
  EXPECT_FALSE(WriteProfileString(Path(), "QO]RVA", "MSG", "N"));
  EXPECT_FALSE(WriteProfileString(Path(), "QORVA", "", "N"));
  EXPECT_EQ(Get(), QByteArray("[QORVA]\nMSG=Y\n"));
}

TEST_F(IniFileTest, WriteLeavesNoTemporaryFileBehind) {
  Put("[QORVA]\nMSG=Y\n");
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(WriteProfileString(Path(), "QORVA", "MSG", "N"));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"KOLBRENT.INI"});
}

}  // namespace
