// The opening stage with its index build, and the closing stage.
#include <QFileInfo>
#include <QKeyEvent>
#include <fstream>

#include "PostalFixture.h"
#include "libs/ftsindex/ftsindex.h"
#include "postal/TableTag.h"

using searchtest::PostalFixture;

namespace {

// What the search strip looked like whenever the build moved the progress bar.
struct BuildWatch {
  int moves = 0;
  int lastValue = -1;
  bool searchEverEnabled = false;
  bool checkBoxEverVisible = false;
  bool gaugeAlwaysVisible = true;
};

}  // namespace

class PostalData : public PostalFixture {
 protected:
  void SetUp() override {
    PostalFixture::SetUp();
    searchtest::WriteSmallTable(tables_.path());
    QObject::connect(Gauge1, &QProgressBar::valueChanged, [this](int v) {
      if (!Gauge1->isVisible()) {
        if (v != 0) watch.gaugeAlwaysVisible = false;
        return;
      }
      ++watch.moves;
      watch.lastValue = v;
      watch.searchEverEnabled |= edSearch->isEnabled() || butFilt->isEnabled();
      watch.checkBoxEverVisible |= CheckBoxMsg->isVisible();
    });
  }
  BuildWatch watch;
};

TEST_F(PostalData, AMissingIndexIsBuiltFromEveryRecordAndReopened) {
  Open();
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("6개 키 생성")});
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(IndexPath())));
  EXPECT_GT(fts_.IndexHandle, 0);
  EXPECT_EQ(fts_.FtsNumRecs(), 6);
  // One FtsAdd per record; the bar ends at the last count before it is hidden.
  EXPECT_EQ(watch.moves, 6);
  EXPECT_EQ(watch.lastValue, 6);
  EXPECT_EQ(Gauge1->maximum(), 6);
  EXPECT_FALSE(watch.searchEverEnabled);
  EXPECT_FALSE(watch.checkBoxEverVisible);
  // Afterwards: first record, bar hidden at 0, the switch and the search back.
  EXPECT_EQ(table_->Recno(), 1);
  EXPECT_FALSE(Gauge1->isVisible());
  EXPECT_EQ(Gauge1->value(), 0);
  EXPECT_TRUE(CheckBoxMsg->isVisible());
  EXPECT_TRUE(edSearch->isEnabled());
  EXPECT_TRUE(butFilt->isEnabled());
  // The record buffer is the raw record and its zero byte.
  EXPECT_EQ(recordBuffer_.size(), static_cast<size_t>(table_->RecordSize()) + 1);
  EXPECT_EQ(recordBuffer_.back(), '\0');
}

TEST_F(PostalData, TheBuildDoesNotWalkTheGridThroughEveryRecord) {
  int changes = 0, atFirstRecord = -1, atLastRecord = -1;
  QObject counting;  // the connections end with the test
  QObject::connect(source_, &TDataSource::DataChange, &counting, [&](TField*) { ++changes; });
  QObject::connect(Gauge1, &QProgressBar::valueChanged, &counting, [&](int v) {
    if (v == 1) atFirstRecord = changes;
    if (v == 6) atLastRecord = changes;
  });
  Open();
  EXPECT_EQ(watch.moves, 6);
  EXPECT_EQ(atLastRecord, atFirstRecord) << "the grid and the position display followed the build";
  EXPECT_GE(changes, 1) << "they show the first record once the build is through";
  EXPECT_EQ(table_->Recno(), 1);
}

TEST_F(PostalData, TheGridCannotMoveTheTableUnderTheBuild) {
  // Ctrl+End in the grid at the first record of the build: were it taken, the
  // loop would end early and the index would miss the records after it.
  bool sent = false, gridEnabled = false;
  QObject watching;  // the connection ends with the test
  QObject::connect(Gauge1, &QProgressBar::valueChanged, &watching, [&](int v) {
    if (sent || v != 1) return;
    sent = true;
    gridEnabled = grid_->isEnabled();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(grid_, &key);
  });
  Open();
  ASSERT_TRUE(sent);
  EXPECT_FALSE(gridEnabled);
  EXPECT_EQ(watch.moves, 6);
  EXPECT_EQ(fts_.FtsNumRecs(), 6);
  ASSERT_GT(fts_.FtsSet(searchtest::Cp949("역삼동").c_str()), 0);
  EXPECT_EQ(fts_.FtsNextRec(), 6);
  EXPECT_TRUE(grid_->isEnabled());
}

TEST_F(PostalData, TheBuiltIndexAnswersForTheTable) {
  Open();
  ASSERT_GT(fts_.FtsSet(searchtest::Cp949("개포1동").c_str()), 0);
  std::vector<int> candidates;
  for (int n; (n = fts_.FtsNextRec()) > 0;) candidates.push_back(n);
  EXPECT_EQ(candidates, (std::vector<int>{1, 2, 4}));
}

TEST_F(PostalData, ASecondStartOpensThePresentIndexWithoutABuild) {
  Open();
  search::ClosePostalData(parts);
  const auto before = std::filesystem::last_write_time(IndexPath());
  messages.Clear();
  watch = {};
  Open();
  EXPECT_TRUE(messages.Messages().isEmpty()) << messages.Messages().join('|').toStdString();
  EXPECT_EQ(watch.moves, 0);
  EXPECT_GT(fts_.IndexHandle, 0);
  EXPECT_EQ(std::filesystem::last_write_time(IndexPath()), before);
}

TEST_F(PostalData, AnotherWorkingDirectoryBuildsItsOwnIndex) {
  Open();
  search::ClosePostalData(parts);
  searchtest::TempFolder other;
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(other.path())));
  messages.Clear();
  Open();
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("6개 키 생성")});
  EXPECT_TRUE(std::filesystem::exists(other.file("POSTCODE.FTS")));
  search::ClosePostalData(parts);
  QDir::setCurrent(QString::fromStdString(work_.path()));
}

TEST_F(PostalData, ACorruptOrForeignIndexIsBuiltAgain) {
  for (const std::string& junk :
       {std::string(), std::string("not an index at all"), std::string(4096, '\xFF')}) {
    std::ofstream(IndexPath(), std::ios::binary | std::ios::trunc) << junk;
    messages.Clear();
    Open();
    EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("6개 키 생성")});
    EXPECT_EQ(fts_.FtsNumRecs(), 6);
    search::ClosePostalData(parts);
  }
}

TEST_F(PostalData, ATruncatedIndexIsBuiltAgain) {
  Open();
  search::ClosePostalData(parts);
  std::filesystem::resize_file(IndexPath(), std::filesystem::file_size(IndexPath()) / 2);
  messages.Clear();
  Open();
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("6개 키 생성")});
  EXPECT_GT(fts_.IndexHandle, 0);
}

TEST_F(PostalData, AnIndexOfAnotherRecordCountIsBuiltAgain) {
  // An index made for a table of three records.
  searchtest::TempFolder small;
  searchtest::WritePostcodeTable(small.path(), {
                                                   "135-806,서울,강남구,개포1동,,1",
                                                   "135-807,서울,강남구,개포2동,,2",
                                                   "135-808,서울,강남구,개포3동,,3",
                                               });
  search::OpenPostalData(parts, small.folder());
  EXPECT_EQ(fts_.FtsNumRecs(), 3);
  search::ClosePostalData(parts);
  messages.Clear();
  Open();
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("6개 키 생성")});
  EXPECT_EQ(fts_.FtsNumRecs(), 6);
}

TEST_F(PostalData, AnEmptyTableMakesAnEmptyIndex) {
  searchtest::WritePostcodeTable(tables_.path(), {});
  Open();
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("0개 키 생성")});
  EXPECT_EQ(watch.moves, 0);
  EXPECT_GT(fts_.IndexHandle, 0);
  EXPECT_TRUE(CheckBoxMsg->isVisible());
}

TEST_F(PostalData, AWorkingDirectoryThatTakesNoFileSaysWhyWhereAndHowTheSearchGoesOn) {
  // The working directory is gone: the index cannot be created there.
  searchtest::TempFolder gone;
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(gone.path())));
  std::filesystem::remove_all(gone.path());
  Open();
  ASSERT_EQ(messages.Messages().size(), 1) << messages.Messages().join('|').toStdString();
  const QString& m = messages.Messages()[0];
  EXPECT_TRUE(m.startsWith(QStringLiteral("FTS 인덱스를 만들 수 없습니다.\r\r인덱스 파일: ")))
      << m.toStdString();
  EXPECT_TRUE(m.contains(QStringLiteral("POSTCODE.FTS\r이유: 작업 폴더가 없습니다.")))
      << m.toStdString();
  EXPECT_TRUE(m.contains(QStringLiteral("인덱스 없이 찾습니다"))) << m.toStdString();
  EXPECT_EQ(fts_.IndexHandle, 0);
  EXPECT_TRUE(CheckBoxMsg->isVisible());
  EXPECT_FALSE(Gauge1->isVisible());
  EXPECT_TRUE(edSearch->isEnabled());
  QDir::setCurrent(QString::fromStdString(work_.path()));
}

TEST_F(PostalData, AFailedSaveShowsItsOwnMessageAndNoKeyCount) {
  // The working directory disappears while the records are added: the
  // index is made but cannot be written.
  QObject::connect(Gauge1, &QProgressBar::valueChanged, [this](int v) {
    if (v == 1) std::filesystem::remove_all(work_.path());
  });
  Open();
  ASSERT_EQ(messages.Messages().size(), 1) << messages.Messages().join('|').toStdString();
  const QString& m = messages.Messages()[0];
  EXPECT_TRUE(m.startsWith(QStringLiteral("FTS 인덱스를 저장할 수 없습니다.\r\r인덱스 파일: ")))
      << m.toStdString();
  EXPECT_FALSE(m.contains(QStringLiteral("키 생성")));
  EXPECT_EQ(fts_.IndexHandle, 0) << "no index is open: the search reads the table";
  EXPECT_EQ(watch.moves, 6);
  std::filesystem::create_directories(work_.path());  // for the fixture's end
}

TEST_F(PostalData, ATableCutInsideItsRecordsWarnsWithTheCountPresent) {
  const std::string table = tables_.file("POSTCODE.DBF");
  const auto size = std::filesystem::file_size(table);
  const auto recordSize = static_cast<std::uintmax_t>([&] {
    std::ifstream in(table, std::ios::binary);
    unsigned char h[12];
    in.read(reinterpret_cast<char*>(h), sizeof h);
    return h[10] | h[11] << 8;
  }());
  // The end-of-file byte, the sixth record and half of the fifth cut off.
  std::filesystem::resize_file(table, size - 1 - recordSize - recordSize / 2);
  Open();
  ASSERT_EQ(messages.Messages().size(), 2) << messages.Messages().join('|').toStdString();
  EXPECT_TRUE(
      messages.Messages()[0].startsWith(QStringLiteral("우편번호 자료 파일이 잘려 있습니다: ")));
  EXPECT_TRUE(
      messages.Messages()[0].contains(QStringLiteral("적힌 6개 중 온전한 4개 자료만 있습니다")))
      << messages.Messages()[0].toStdString();
  EXPECT_EQ(messages.Messages()[1], QStringLiteral("4개 키 생성"));
  EXPECT_EQ(table_->RecCount(), 4);
}

TEST_F(PostalData, AMissingTableRaisesAndTheClosingStageThenDoesNothing) {
  std::filesystem::remove(tables_.file("POSTCODE.DBF"));
  EXPECT_THROW(Open(), EDbfTableError);
  EXPECT_TRUE(recordBuffer_.empty());
  EXPECT_EQ(fts_.IndexHandle, 0);
  EXPECT_FALSE(std::filesystem::exists(IndexPath()));
  search::ClosePostalData(parts);
  EXPECT_FALSE(table_->IsOpen());
}

TEST_F(PostalData, TheClosingStageClosesIndexBufferAndTable) {
  Open();
  const int32_t handle = fts_.IndexHandle;
  search::ClosePostalData(parts);
  EXPECT_FALSE(table_->IsOpen());
  EXPECT_TRUE(recordBuffer_.empty());
  // The handle was closed: the library no longer knows it.
  fts_.IndexHandle = handle;
  EXPECT_LT(fts_.FtsNumRecs(), 0);
  fts_.IndexHandle = 0;
}

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

TEST_F(PostalData, AnIndexOfAnEarlierStateOfTheTableIsBuiltAgain) {
  Open();
  const size_t header = 129, size = static_cast<size_t>(table_->RecordSize());
  search::ClosePostalData(parts);
  const std::string tablePath = tables_.file("POSTCODE.DBF");
  const std::string table = ReadBytes(tablePath);

  // Rewritten with the same bytes (a new file, a new time): the index stays.
  WriteBytes(tablePath, table);
  messages.Clear();
  Open();
  EXPECT_TRUE(messages.Messages().isEmpty()) << messages.Messages().join('|').toStdString();
  search::ClosePostalData(parts);

  // One address edited in place, the size unchanged: 역삼동 of the last
  // record becomes 삼성동.
  std::string edited = table;
  const std::string from = searchtest::Cp949("역삼동"), to = searchtest::Cp949("삼성동");
  const size_t at = edited.find(from);
  ASSERT_NE(at, std::string::npos);
  edited.replace(at, from.size(), to);
  ASSERT_EQ(edited.size(), table.size());
  WriteBytes(tablePath, edited);
  messages.Clear();
  Open();
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("6개 키 생성")});
  ASSERT_GT(fts_.FtsSet(to.c_str()), 0);
  EXPECT_EQ(fts_.FtsNextRec(), 6);
  EXPECT_EQ(fts_.FtsSet(from.c_str()), FTS_ERR_NO_KEY);
  search::ClosePostalData(parts);

  // Two records swapped: the same bytes in another order.
  std::string swapped = edited;
  swapped.replace(header, size, edited.substr(header + size, size));
  swapped.replace(header + size, size, edited.substr(header, size));
  WriteBytes(tablePath, swapped);
  messages.Clear();
  Open();
  EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("6개 키 생성")});
  ASSERT_GT(fts_.FtsSet(searchtest::Cp949("우성3차아파트").c_str()), 0);
  EXPECT_EQ(fts_.FtsNextRec(), 1);
}

TEST_F(PostalData, AnIndexWithoutTheTablesTagIsBuiltAgain) {
  // Six records, as many as the table has, but built without a tag (as by
  // another program) or with another table's tag.
  for (const char* tag : {static_cast<const char*>(nullptr), "size=1 crc32c=00000000"}) {
    {
      TFts other;
      ASSERT_GT(other.FtsCreate("POSTCODE.FTS", 20, 2, 1, 1), 0);
      if (tag) other.FtsSetTag(tag);
      for (int i = 0; i < 6; ++i) other.FtsAdd(" 135-80602  x");
      ASSERT_EQ(other.FtsClose(), 0);
    }
    messages.Clear();
    Open();
    EXPECT_EQ(messages.Messages(), QStringList{QStringLiteral("6개 키 생성")});
    char stored[FTS_MAX_TAG + 1];
    ASSERT_GT(fts_.FtsGetTag(stored, sizeof stored), 0);
    EXPECT_TRUE(postal::TagAnswersFor(stored, tables_.file("POSTCODE.DBF"))) << stored;
    search::ClosePostalData(parts);
  }
}
