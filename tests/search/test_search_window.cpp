// The address search in the real main window on the national table, offscreen:
// the first start builds the index, a search shows exactly the rows that a
// plain scan of the source list finds, the popup copies, and the index is
// reused, rebuilt or made anew as the working directory demands.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "PostcodeDbf.h"
#include "SourceCsv.h"
#include "WindowFixture.h"
#include "app/FormMain.h"
#include "app/Panel.h"
#include "app/Settings.h"
#include "platform/Cp949.h"
#include "platform/MessageBox.h"
#include "search/SearchRun.h"

namespace {

namespace fs = std::filesystem;

// The national list as the converter reads it, decoded for a plain scan.
struct SourceRecord {
  QString zipcode, etc;
};

const std::vector<SourceRecord>& NationalRecords() {
  static const std::vector<SourceRecord> records = [] {
    std::ifstream in(std::string(PF_SOURCE_DIR) + "/data/source/zipcode.csv", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    postal::ConvertError e;
    auto rows = postal::ParseSourceCsv(s.str(), &e);
    std::vector<SourceRecord> out;
    if (!rows) return out;
    for (const auto& row : *rows) {
      const postal::PostcodeRecord r = postal::MakeRecord(row);
      out.push_back({QString::fromStdString(r.zipcode),
                     platform::FromCp949(QByteArray::fromStdString(r.etc))});
    }
    return out;
  }();
  return records;
}

// Record numbers whose address holds every word of text.
std::vector<int> PlainScan(const QString& text) {
  const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  std::vector<int> recnos;
  const auto& records = NationalRecords();
  for (size_t i = 0; i < records.size(); ++i) {
    bool all = true;
    for (const QString& w : words) all = all && records[i].etc.contains(w);
    if (all) recnos.push_back(static_cast<int>(i) + 1);
  }
  return recnos;
}

// Counts the paint events of the progress bar.
class GaugePaints : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

class SearchWindow : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    fs::copy_file(std::string(PF_BIN_DIR) + "/POSTCODE.DBF", TablePath());
  }

  // A new window through its whole start-up sequence; answers its time in ms.
  qint64 Start(bool closeDuringStart = false) {
    form_.reset();
    form_ = std::make_unique<TFormMain>();
    form_->InstanceMarkerName = QStringLiteral("SearchWindowTest%1").arg(++starts_);
    form_->SetActivateOnShow(false);
    form_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    form_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    GaugePaints gauge;
    form_->Gauge1->installEventFilter(&gauge);
    QElapsedTimer t;
    t.start();
    // Runs from the build's event processing: the close must wait for the end
    // of the start-up sequence.
    if (closeDuringStart) QTimer::singleShot(0, form_.get(), [this] { form_->close(); });
    form_->FormActivate();
    const qint64 ms = t.elapsed();
    form_->Gauge1->removeEventFilter(&gauge);
    gaugePaints_ = gauge.paints;
    return ms;
  }
  QString IndexPath() const { return work_.filePath(QStringLiteral("POSTCODE.FTS")); }
  bool BuildMessageShown() const {
    return messages_.Messages().contains(QStringLiteral("52144개 키 생성"));
  }

  int starts_ = 0;
  int gaugePaints_ = 0;
};

}  // namespace

TEST_F(SearchWindow, FirstStartBuildsThenASearchShowsExactlyTheScannedRows) {
  ASSERT_EQ(NationalRecords().size(), 52144u);
  const qint64 ms = Start();
  std::cout << "index build in the window: " << ms << " ms\n";
  EXPECT_EQ(messages_.Messages(), QStringList{QStringLiteral("52144개 키 생성")});
  EXPECT_TRUE(QFile::exists(IndexPath()));
  // The bar was painted while it moved, but not once per record.
  EXPECT_GE(gaugePaints_, 1);
  EXPECT_LT(gaugePaints_, 52144 / 10);
  EXPECT_FALSE(Form().Gauge1->isVisible());
  EXPECT_TRUE(Form().CheckBoxMsg->isVisible());
  EXPECT_TRUE(Form().edSearch->isEnabled());
  EXPECT_EQ(Form().panRecPos->Caption(), QStringLiteral("1 / 52144"));
  EXPECT_EQ(QApplication::focusWidget(), Form().edSearch);

  messages_.Clear();
  SearchByReturn(QStringLiteral("개포1동"));
  const std::vector<int> expected = PlainScan(QStringLiteral("개포1동"));
  ASSERT_GT(expected.size(), 1u);
  EXPECT_EQ(Shown(), expected);
  EXPECT_EQ(messages_.Messages(), QStringList{search::CountMessage(int(expected.size()))});
  EXPECT_EQ(Form().panRecPos->Caption(), QStringLiteral("%1 / 52144").arg(expected[0]));
  EXPECT_EQ(QApplication::focusWidget(), Form().DBGrid1);

  // The grid paints those rows, the first one current.
  auto* grid = static_cast<TDBGrid*>(Form().DBGrid1);
  ASSERT_GT(grid->ShownRowCount(), 0);
  EXPECT_EQ(grid->CurrentRow(), 0);
  int etcColumn = -1;
  for (int c = 0; c < grid->ColumnCount(); ++c)
    if (grid->ColumnFieldName(c) == QLatin1String("ETC")) etcColumn = c;
  ASSERT_GE(etcColumn, 0);
  for (int row = 0; row < std::min<int>(grid->ShownRowCount(), int(expected.size())); ++row)
    EXPECT_EQ(grid->CellText(row, etcColumn).trimmed(),
              NationalRecords()[size_t(expected[size_t(row)] - 1)].etc);

  // The popup copies the current row: the code unchanged, the address trimmed.
  const SourceRecord& first = NationalRecords()[size_t(expected[0] - 1)];
  Form().Post1->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), first.zipcode);
  Form().Juso2->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), first.etc);
  EXPECT_FALSE(first.etc.endsWith(QLatin1Char(' ')));

  // A blank and an all-spaces search show the whole table again.
  for (const QString& blank : {QString(), QStringLiteral("    ")}) {
    SearchByReturn(QStringLiteral("개포1동"));
    messages_.Clear();
    SearchByReturn(blank);
    EXPECT_TRUE(messages_.Messages().isEmpty());
    TDbfTable& t = *Form().Table1;
    t.First();
    EXPECT_EQ(t.Recno(), 1);
    t.Next();
    EXPECT_EQ(t.Recno(), 2);
    t.Last();
    EXPECT_EQ(t.Recno(), 52144);
    t.First();
    EXPECT_EQ(QApplication::focusWidget(), Form().edSearch);
  }
}

TEST_F(SearchWindow, SearchesAgreeWithAPlainScan) {
  Start();
  Form().CheckBoxMsg->setChecked(false);
  for (const char* text : {"역삼", "강남구 개포", "세종 조치원읍", "부천시 원미구 중동"}) {
    messages_.Clear();
    SearchByReturn(QString::fromUtf8(text));
    EXPECT_EQ(Shown(), PlainScan(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(messages_.Messages().isEmpty()) << text;
  }
}

TEST_F(SearchWindow, ASecondStartSkipsTheBuild) {
  Start();
  ASSERT_TRUE(BuildMessageShown());
  messages_.Clear();
  const qint64 ms = Start();
  std::cout << "start with the index present: " << ms << " ms\n";
  EXPECT_TRUE(messages_.Messages().isEmpty()) << messages_.Messages().join('|').toStdString();
  SearchByReturn(QStringLiteral("개포1동"));
  EXPECT_EQ(Shown(), PlainScan(QStringLiteral("개포1동")));
}

TEST_F(SearchWindow, AnotherWorkingDirectoryBuildsItsOwnIndex) {
  Start();
  form_.reset();
  QTemporaryDir other;
  QDir::setCurrent(other.path());
  messages_.Clear();
  Start();
  EXPECT_TRUE(BuildMessageShown());
  EXPECT_TRUE(QFile::exists(other.filePath(QStringLiteral("POSTCODE.FTS"))));
  form_.reset();
  QDir::setCurrent(work_.path());
}

TEST_F(SearchWindow, ACorruptOrStaleIndexIsRebuilt) {
  {
    QFile f(IndexPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1000, 'x'));
  }
  Start();
  EXPECT_TRUE(BuildMessageShown());
  form_.reset();

  // An index of two records, as if made for another table.
  QFile::remove(IndexPath());
  {
    TFts fts;
    ASSERT_GT(fts.FtsCreate("POSTCODE.FTS", 20, 2, 1, 1), 0);
    fts.FtsAdd(" 135-80602  a");
    fts.FtsAdd(" 135-80702  b");
    ASSERT_EQ(fts.FtsClose(), 0);
  }
  messages_.Clear();
  Start();
  EXPECT_TRUE(BuildMessageShown());
  EXPECT_EQ(Form().Fts1.FtsNumRecs(), 52144);
}

TEST_F(SearchWindow, ACloseDuringTheBuildTakesEffectAfterTheStartUp) {
  Start(/*closeDuringStart=*/true);
  EXPECT_TRUE(BuildMessageShown());
  EXPECT_EQ(Form().Fts1.FtsNumRecs(), 52144);
  EXPECT_TRUE(Form().isVisible());
  QCoreApplication::processEvents();
  EXPECT_FALSE(Form().isVisible());
}
