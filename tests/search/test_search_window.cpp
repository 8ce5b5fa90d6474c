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
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
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
#include "search/MatchHighlight.h"
#include "search/SearchRun.h"

namespace {

namespace fs = std::filesystem;

// The national list as the converter reads it, decoded for a plain scan.
struct SourceRecord {
  QString zipcode, ddd, etc;
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
      out.push_back({QString::fromStdString(r.zipcode), QString::fromStdString(r.ddd),
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

// What typing finds, written apart from the library: every word in the
// record's characters without blanks (postal code, dialling code, address),
// ASCII without case, an initial-consonant jamo for every syllable of its
// initial.
bool TypedCharMatches(QChar record, QChar word) {
  static const QString initials = QStringLiteral("ㄱㄲㄴㄷㄸㄹㅁㅂㅃㅅㅆㅇㅈㅉㅊㅋㅌㅍㅎ");
  const qsizetype initial = initials.indexOf(word);
  if (initial >= 0) {
    const char16_t r = record.unicode();
    return record == word || (r >= 0xAC00 && r <= 0xD7A3 && (r - 0xAC00) / 588 == initial);
  }
  return record.unicode() < 0x80 ? record.toLower() == word.toLower() : record == word;
}

std::vector<int> TypedScan(const QString& text) {
  const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  std::vector<int> recnos;
  if (words.isEmpty()) return recnos;
  const auto& records = NationalRecords();
  for (size_t i = 0; i < records.size(); ++i) {
    QString joined = records[i].zipcode + records[i].ddd + records[i].etc;
    joined.remove(QLatin1Char(' '));
    bool all = true;
    for (const QString& w : words) {
      const auto it =
          std::search(joined.begin(), joined.end(), w.begin(), w.end(), TypedCharMatches);
      all = all && it != joined.end();
    }
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

  // A key as a desktop sends it, then what the event loop runs before the
  // next key (the search while typing among it).
  void Type(const QString& text) {
    for (QChar c : text) {
      QTest::sendKeyEvent(QTest::Click, Form().edSearch, Qt::Key_unknown, QString(c),
                          Qt::NoModifier);
      QCoreApplication::processEvents();
    }
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    QCoreApplication::processEvents();
  }
  // The grid shows the rows of the box's text as typing finds them: these
  // rows, none when nothing matches, the whole table for a blank box; the
  // count in the grid's title row.
  void ExpectRowsOfTheBox() {
    const QString text = Form().edSearch->text();
    const std::vector<int> expected = TypedScan(text);
    auto* grid = static_cast<TDBGrid*>(Form().DBGrid1);
    if (text.trimmed().isEmpty()) {
      TDbfTable& t = *Form().Table1;
      t.First();
      EXPECT_EQ(t.Recno(), 1) << text.toStdString();
      t.Last();
      EXPECT_EQ(t.Recno(), 52144) << text.toStdString();
      t.First();
      EXPECT_EQ(grid->TitleNote(), QString());
      return;
    }
    if (expected.empty()) {
      EXPECT_EQ(Shown(), expected) << text.toStdString();
      EXPECT_EQ(grid->TitleNote(), QStringLiteral("해당 자료 없음"));
      return;
    }
    EXPECT_EQ(Shown(), expected) << text.toStdString();
    EXPECT_EQ(grid->TitleNote(), QStringLiteral("해당 자료 : %1개").arg(expected.size()));
  }
  // The highlighted parts of the address in the grid's first row.
  QString HighlightedAddress() {
    auto* grid = static_cast<TDBGrid*>(Form().DBGrid1);
    TDbfTable& t = *Form().Table1;
    const TField* etc = t.FindField(QStringLiteral("ETC"));
    const QString text = grid->CellText(0, 2);
    QStringList parts;
    auto& highlight = const_cast<search::TMatchHighlight&>(Form().MatchHighlight());
    for (const auto& [start, length] : highlight.CellRanges(0, etc))
      parts << text.mid(start, length);
    return parts.join(QLatin1Char('|'));
  }
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

TEST_F(SearchWindow, TypingDeletingAndPastingShowTheRowsAtEveryChange) {
  Start();
  messages_.Clear();
  Form().edSearch->setFocus();
  // Syllables, a digit, an initial consonant, a second word of consonants.
  for (QChar c : QStringLiteral("역삼1ㄷ ㄱㄴ")) {
    Type(QString(c));
    ExpectRowsOfTheBox();
  }
  // Every occurrence: 강남구 역삼1동 GS강남타워.
  EXPECT_EQ(HighlightedAddress(), QStringLiteral("강남|역삼1동|강남"));
  // Deleting, then a letter that matches nothing, then deleting it again.
  for (int i = 0; i < 3; ++i) {
    Key(Qt::Key_Backspace);
    ExpectRowsOfTheBox();
  }
  Type(QStringLiteral("q"));
  ExpectRowsOfTheBox();
  EXPECT_EQ(HighlightedAddress(), QString());
  Key(Qt::Key_Backspace);
  ExpectRowsOfTheBox();
  // Everything deleted: the whole table, no count.
  Key(Qt::Key_A, Qt::ControlModifier);
  Key(Qt::Key_Delete);
  EXPECT_TRUE(Form().edSearch->text().isEmpty());
  ExpectRowsOfTheBox();
  // Pasted: consonants and a word without its blank.
  QApplication::clipboard()->setText(QStringLiteral("ㅂㅍ 반포본동"));
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Form().edSearch->text(), QStringLiteral("ㅂㅍ 반포본동"));
  ExpectRowsOfTheBox();
  EXPECT_FALSE(TypedScan(QStringLiteral("ㅂㅍ 반포본동")).empty());
  // Typing is quiet: no message, the focus stays in the box.
  EXPECT_TRUE(messages_.Messages().isEmpty()) << messages_.Messages().join('|').toStdString();
  EXPECT_EQ(QApplication::focusWidget(), Form().edSearch);
  EXPECT_TRUE(Form().Timer1->isActive());
}

TEST_F(SearchWindow, ASyllableBeingComposedKeepsTheRows) {
  Start();
  Form().edSearch->setFocus();
  Type(QStringLiteral("서울 "));
  // 개포 typed on a Korean keyboard: ㄱ, 개, 갶 (ㅍ still a final), then 개
  // committed and 포 composing.
  auto compose = [&](const QString& commit, const QString& preedit) {
    QInputMethodEvent e(preedit, {});
    e.setCommitString(commit);
    QApplication::sendEvent(Form().edSearch, &e);
    QCoreApplication::processEvents();
  };
  const struct {
    const char* commit;
    const char* preedit;
    const char* rowsOf;
  } steps[] = {{"", "ㄱ", "서울 ㄱ"},
               {"", "개", "서울 개"},
               {"", "갶", "서울 개ㅍ"},
               {"개", "포", "서울 개포"},
               {"포", "", "서울 개포"}};
  for (const auto& step : steps) {
    compose(QString::fromUtf8(step.commit), QString::fromUtf8(step.preedit));
    const std::vector<int> expected = TypedScan(QString::fromUtf8(step.rowsOf));
    ASSERT_FALSE(expected.empty()) << step.rowsOf;
    EXPECT_EQ(Shown(), expected) << step.rowsOf;
  }
  EXPECT_EQ(Form().edSearch->text(), QStringLiteral("서울 개포"));
  EXPECT_EQ(HighlightedAddress(), QStringLiteral("서울|개포"));
}

TEST_F(SearchWindow, ReturnAfterTypingStillShowsItsMessages) {
  Start();
  Form().CheckBoxMsg->setChecked(true);
  Form().edSearch->setFocus();
  Type(QStringLiteral("ㄱㅍ1ㄷ"));
  messages_.Clear();
  Key(Qt::Key_Return);
  const std::vector<int> expected = TypedScan(QStringLiteral("ㄱㅍ1ㄷ"));
  ASSERT_GT(expected.size(), 1u);
  EXPECT_EQ(messages_.Messages(), QStringList{search::CountMessage(int(expected.size()))});
  EXPECT_EQ(Shown(), expected);
  EXPECT_EQ(QApplication::focusWidget(), Form().DBGrid1);
  EXPECT_EQ(HighlightedAddress(), QStringLiteral("개포1동"));

  Form().edSearch->setFocus();
  Form().edSearch->selectAll();
  Type(QStringLiteral("강남구역삼1동 부산"));  // both words indexed, never together
  messages_.Clear();
  Form().butFilt->click();
  EXPECT_EQ(messages_.Messages(), QStringList{QStringLiteral("자료 없음!")});
  EXPECT_EQ(static_cast<TDBGrid*>(Form().DBGrid1)->TitleNote(), QStringLiteral("해당 자료 없음"));
}

TEST_F(SearchWindow, CopyAndMenuKeysActOnTheCurrentRow) {
  Start();
  Form().edSearch->setFocus();
  Type(QStringLiteral("반포본동"));
  const std::vector<int> rows = TypedScan(QStringLiteral("반포본동"));
  ASSERT_GE(rows.size(), 2u);
  Form().DBGrid1->setFocus();
  Key(Qt::Key_Down);
  const SourceRecord& second = NationalRecords()[size_t(rows[1] - 1)];
  Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(),
            second.zipcode.trimmed() + QLatin1Char(' ') + second.etc);
  // The menu opens below the current row.
  auto* grid = static_cast<TDBGrid*>(Form().DBGrid1);
  Key(Qt::Key_Menu);
  ASSERT_TRUE(Form().PopupMenu1->isVisible());
  const QPoint at = grid->viewport()->mapFromGlobal(Form().PopupMenu1->pos());
  EXPECT_EQ(at.y(), grid->RowRect(1).bottom());
  Form().PopupMenu1->hide();
}

TEST_F(SearchWindow, AnIndexOfTheFormerVersionIsBuiltAgain) {
  Start();
  form_.reset();
  // The same index marked as version 1, its checksum made right again.
  QFile f(IndexPath());
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QByteArray image = f.readAll();
  f.close();
  image[8] = 1;
  image.replace(56, 4, QByteArray(4, '\0'));
  uint32_t crc = 0xFFFFFFFF;
  for (char byte : image) {
    crc ^= static_cast<uint8_t>(byte);
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0x82F63B78 : crc >> 1;
  }
  crc = ~crc;
  for (int i = 0; i < 4; ++i) image[56 + i] = static_cast<char>(crc >> (8 * i));
  ASSERT_TRUE(QFile::remove(IndexPath()));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(image);
  f.close();
  messages_.Clear();
  Start();
  EXPECT_TRUE(BuildMessageShown());
  Form().edSearch->setFocus();
  Type(QStringLiteral("ㄱㅍ1ㄷ"));
  EXPECT_EQ(Shown(), TypedScan(QStringLiteral("ㄱㅍ1ㄷ")));
}
