// TFts and the availability check, against the real libftsindex.so beside
// the test executable and against folders where it is missing or broken.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "libs/ftsindex/ftsindex.h"
#include "platform/MessageBox.h"
#include "search/Fts.h"
#include "search/FtsLibrary.h"

namespace {

const QString kMissingMessage =
    QStringLiteral("Full-text search (FTS): Unable to load required library libftsindex.so");

// Points the loader at another folder for one test.
class LibraryFolder {
 public:
  explicit LibraryFolder(const QString& folder) { SetFtsLibraryFolder(folder); }
  ~LibraryFolder() { SetFtsLibraryFolder(QString()); }
};

TEST(FtsLibraryCheck, LibraryBesideTheExecutableIsAvailable) {
  platform::MessageRecorder messages;
  EXPECT_EQ(QDir(QStringLiteral(PF_BIN_DIR)).canonicalPath(),
            QDir(FtsLibraryFolder()).canonicalPath());
  EXPECT_TRUE(CheckFtsLibraryAvailable());
  EXPECT_TRUE(messages.Messages().isEmpty());
}

TEST(FtsLibraryCheck, MissingLibraryShowsTheMessage) {
  QTemporaryDir empty;
  LibraryFolder folder(empty.path());
  platform::MessageRecorder messages;
  EXPECT_FALSE(CheckFtsLibraryAvailable());
  EXPECT_EQ(QStringList{kMissingMessage}, messages.Messages());
}

TEST(FtsLibraryCheck, BrokenLibraryShowsTheMessage) {
  QTemporaryDir dir;
  QFile fake(dir.filePath(QStringLiteral("libftsindex.so")));
  ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
  fake.write("not a shared object");
  fake.close();
  LibraryFolder folder(dir.path());
  platform::MessageRecorder messages;
  EXPECT_FALSE(CheckFtsLibraryAvailable());
  EXPECT_EQ(QStringList{kMissingMessage}, messages.Messages());
  EXPECT_EQ(nullptr, LoadFtsLibrary());
}

TEST(FtsLibraryCheck, ALibraryLackingOneEntryPointShowsTheMessage) {
  // It loads, but every search would fail: refused before the window exists.
  LibraryFolder folder(QStringLiteral(PF_FTS_WITHOUT_MATCH_DIR));
  platform::MessageRecorder messages;
  EXPECT_FALSE(CheckFtsLibraryAvailable());
  EXPECT_EQ(QStringList{kMissingMessage}, messages.Messages());
  EXPECT_EQ(nullptr, LoadFtsLibrary());
}

TEST(FtsComponent, ForwardsEveryCallWithItsHandle) {
  QTemporaryDir dir;
  const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("POSTCODE.FTS")));
  TFts fts;
  ASSERT_TRUE(fts.Bound());
  EXPECT_EQ(0, fts.IndexHandle);
  const int32_t created = fts.FtsCreate(path.constData(), 20, 2, 1, 1);
  EXPECT_GT(created, 0);
  EXPECT_EQ(created, fts.IndexHandle);
  EXPECT_EQ(1, fts.FtsAdd(" 135-806 02  Seoul Gangnam-gu Gaepo"));
  EXPECT_EQ(2, fts.FtsAdd(" 612-020 051 Busan Haeundae-gu U-dong"));
  EXPECT_EQ(3, fts.FtsAdd(" 135-807 02  Seoul Gaepo Woosung"));
  EXPECT_EQ(3, fts.FtsNumRecs());
  EXPECT_EQ(FTS_ERR_STATE, fts.FtsSet("seoul"));  // unchanged library answer
  EXPECT_EQ(0, fts.FtsClose());

  const int32_t opened = fts.FtsOpen(path.constData(), 20, 1);
  EXPECT_GT(opened, 0);
  EXPECT_EQ(opened, fts.IndexHandle);
  EXPECT_EQ(3, fts.FtsNumRecs());
  EXPECT_EQ(FTS_ERR_NO_KEY, fts.FtsSet("qqq"));
  EXPECT_EQ(2, fts.FtsSet("gaepo seoul"));
  EXPECT_EQ(1, fts.FtsNextRec());
  EXPECT_EQ(3, fts.FtsNextRec());
  EXPECT_EQ(0, fts.FtsNextRec());
  // Mode 2 reaches the library as 3 (words in any order, without case);
  // mode 0 as 1 (the exact phrase).
  const char* rec = " 135-807 02  Seoul Gaepo Woosung";
  EXPECT_EQ(1, fts.FtsVerify(rec, "gaepo SEOUL", 2));
  EXPECT_EQ(0, fts.FtsVerify(rec, "gaepo SEOUL", 1));
  EXPECT_EQ(1, fts.FtsVerify(rec, "seoul gaepo", 1));
  EXPECT_EQ(0, fts.FtsVerify(rec, "seoul gaepo", 0));
  EXPECT_EQ(1, fts.FtsVerify(rec, "Seoul Gaepo", 0));
  EXPECT_EQ(FTS_ERR_ARG, fts.FtsVerify(rec, "Seoul", 3));  // mode 4 does not exist
  // FtsMatch: the same answers without the index.
  EXPECT_EQ(1, fts.FtsMatch(rec, "gaepo SEOUL", 2));
  EXPECT_EQ(0, fts.FtsMatch(rec, "gaepo SEOUL", 1));
  EXPECT_EQ(FTS_ERR_ARG, fts.FtsMatch(rec, "Seoul", 3));
  EXPECT_EQ(0, fts.FtsClose());
  EXPECT_EQ(FTS_ERR_HANDLE, fts.FtsClose());
}

TEST(FtsComponent, FailedOpenIsKeptAndPassedOn) {
  TFts fts;
  EXPECT_EQ(FTS_ERR_IO, fts.FtsOpen("/nonexistent/POSTCODE.FTS", 20, 1));
  EXPECT_EQ(FTS_ERR_IO, fts.IndexHandle);
  EXPECT_EQ(FTS_ERR_HANDLE, fts.FtsSet("a"));
  EXPECT_EQ(FTS_ERR_HANDLE, fts.FtsNextRec());
  EXPECT_EQ(FTS_ERR_HANDLE, fts.FtsNumRecs());
}

TEST(FtsComponent, UnboundLibraryAnswersAnErrorForEveryCall) {
  QTemporaryDir empty;
  LibraryFolder folder(empty.path());
  TFts fts;
  EXPECT_FALSE(fts.Bound());
  EXPECT_EQ(FTS_ERR_NO_LIBRARY, fts.FtsCreate("x.fts", 20, 2, 1, 1));
  EXPECT_EQ(FTS_ERR_NO_LIBRARY, fts.IndexHandle);
  EXPECT_EQ(FTS_ERR_NO_LIBRARY, fts.FtsOpen("x.fts", 20, 1));
  EXPECT_EQ(FTS_ERR_NO_LIBRARY, fts.FtsAdd(" a"));
  EXPECT_EQ(FTS_ERR_NO_LIBRARY, fts.FtsSet("a"));
  EXPECT_EQ(FTS_ERR_NO_LIBRARY, fts.FtsNextRec());
  EXPECT_EQ(FTS_ERR_NO_LIBRARY, fts.FtsVerify(" a", "a", 2));
  EXPECT_EQ(FTS_ERR_NO_LIBRARY, fts.FtsNumRecs());
  EXPECT_EQ(FTS_ERR_NO_LIBRARY, fts.FtsClose());
  EXPECT_EQ(FTS_ERR_NO_LIBRARY, fts.FtsMatch(" a", "a", 2));
  EXPECT_FALSE(QFile::exists(QStringLiteral("x.fts")));
}

}  // namespace
