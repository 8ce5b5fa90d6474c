// New postal data from the real main window, offscreen: files chosen in the
// grid's menu (the dialog answered by the test) or dropped on the window are
// imported with the progress bar and searched at once, without a restart;
// the lot and English addresses get their columns and copy items; a failed
// import names file and line and leaves the table in use. The data are the
// first 99 real rows of Korea Post's 서울특별시 file, read from
// ../shared/data/real/ (the test skips without them).
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "ImportIndex.h"
#include "PostalImport.h"
#include "PostalTables.h"
#include "WindowFixture.h"
#include "app/Panel.h"
#include "dataset/DBGrid.h"

namespace {

namespace fs = std::filesystem;

class WindowImport : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    real_ = fs::path(PF_SOURCE_DIR) / ".." / "shared" / "data" / "real" /
            "zipcode_DB_seoul_first100.cp949.txt";
    if (!fs::exists(real_)) GTEST_SKIP() << "no real rows at " << real_;
    testsupport::WriteSmallTable(program_.path().toStdString());
    StartForm();
    form_->CheckBoxMsg->setChecked(false);
    messages_.Clear();
  }
  void StartForm() {
    form_ = std::make_unique<TFormMain>();
    form_->InstanceMarkerName = QStringLiteral("WindowImportTest");
    form_->SetActivateOnShow(false);
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    form_->FormActivate();
  }
  void TearDown() override {
    TFormMain::ImportFileChooser() = saved_;
    WindowFixture::TearDown();
  }
  // A copy of the real file with a name of its own, as downloaded.
  QString RealFile(const char* name = "서울특별시.txt") {
    const fs::path copy = fs::path(work_.path().toStdString()) / name;
    fs::copy_file(real_, copy, fs::copy_options::overwrite_existing);
    return QString::fromStdString(copy.string());
  }
  int Column(const char* field) {
    for (int c = 0; c < Form().DBGrid1->ColumnCount(); ++c)
      if (Form().DBGrid1->ColumnFieldName(c) == QLatin1String(field)) return c;
    return -1;
  }

  fs::path real_;
  std::function<QStringList(QWidget*)> saved_ = TFormMain::ImportFileChooser();
};

TEST_F(WindowImport, TheMenusImportIsSearchedAtOnceWithItsNewColumnsAndCopies) {
  ASSERT_EQ(Form().Table1->RecCount(), 6);
  EXPECT_FALSE(Form().Jibun3->isVisible());
  EXPECT_EQ(Column("JIBUN"), -1);
  const QString file = RealFile();
  int gaugeMoves = 0;
  QObject watching;
  QObject::connect(Form().Gauge1, &QProgressBar::valueChanged, &watching, [&](int v) {
    if (v > 0 && Form().Gauge1->isVisible()) ++gaugeMoves;
  });
  TFormMain::ImportFileChooser() = [&](QWidget*) { return QStringList{file}; };
  Form().ImportData5->trigger();
  EXPECT_GT(gaugeMoves, 0) << "the progress bar shows the import";
  EXPECT_TRUE(messages_.Messages().contains(QStringLiteral("우편번호 자료 99개를 가져왔습니다.")))
      << messages_.Messages().join('|').toStdString();
  EXPECT_EQ(Form().Table1->RecCount(), 99) << "the new table, without a restart";
  EXPECT_FALSE(Form().Gauge1->isVisible());
  EXPECT_TRUE(Form().edSearch->isEnabled());
  // The further fields after the address, the copy items beside the others.
  EXPECT_GT(Column("JIBUN"), Column("ETC"));
  EXPECT_GT(Column("ENG"), Column("JIBUN"));
  EXPECT_EQ(Form().DBGrid1->ColumnTitle(Column("JIBUN")), QStringLiteral("지번주소"));
  EXPECT_TRUE(Form().Jibun3->isVisible());
  EXPECT_TRUE(Form().Eng4->isVisible());

  // A building by its name finds its one row; each copy gives its address.
  Form().CheckBoxMsg->setChecked(false);
  SearchByReturn(QStringLiteral("꿈꾸지오"));
  ASSERT_EQ(Shown().size(), 1u);
  Form().Juso2->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(),
            QStringLiteral("서울특별시 강남구 개포로31길 29-2 (개포동, 꿈꾸지오)"));
  Form().Jibun3->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("서울특별시 강남구 개포동 1265-3"));
  Form().Eng4->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(),
            QStringLiteral("29-2 Gaepo-ro 31-gil, Gangnam-gu, Seoul"));
  // The road address with its number, the lot address, the English one.
  SearchByReturn(QStringLiteral("개포로31길 29-2"));
  EXPECT_EQ(Shown().size(), 1u);
  SearchByReturn(QStringLiteral("개포동 1265-3"));
  EXPECT_EQ(Shown().size(), 1u);
  SearchByReturn(QStringLiteral("29-2 Gaepo-ro 31-gil"));
  EXPECT_EQ(Shown().size(), 1u);
  // The old table is kept beside the new one.
  EXPECT_TRUE(fs::exists(TablePath() + ".bak"));
}

TEST_F(WindowImport, OverTheGovernmentsSejongFileEachAddressFindsItsOneRow) {
  // The whole of 세종 in the government's layout: 27,335 real rows.
  const fs::path sejong = real_.parent_path() / "rnaddrkor_sejong.txt";
  if (!fs::exists(sejong)) GTEST_SKIP() << "no " << sejong;
  ASSERT_TRUE(Form().ImportData({QString::fromStdString(sejong.string())}))
      << messages_.Messages().join('|').toStdString();
  EXPECT_EQ(Form().Table1->RecCount(), 27335);
  EXPECT_GE(Column("JIBUN"), 0);
  EXPECT_EQ(Column("ENG"), -1) << "the government's data carry no English";
  EXPECT_FALSE(Form().Eng4->isVisible());
  EXPECT_EQ(Form().panRecPos->toolTip(), QStringLiteral("POSTCODE.DBF: 2023-06-27, 27335개 레코드"))
      << "the date of the data, not of the import";
  Form().CheckBoxMsg->setChecked(false);
  for (const QString& query :
       {QStringLiteral("한누리대로 1811"), QStringLiteral("세종특별자치시 반곡동 47-1"),
        QStringLiteral("세종시 한누리대로 1811 (반곡동)")}) {
    SearchByReturn(query);
    ASSERT_EQ(Shown().size(), 1u) << query.toStdString();
    Form().Jibun3->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("세종특별자치시 반곡동 47-1"))
        << query.toStdString();
  }
  SearchByReturn(QStringLiteral("수루배마을5단지 상가동"));
  EXPECT_EQ(Shown().size(), 2u) << "the building's two entrances, 1811 and 1821";
}

TEST_F(WindowImport, AnIndexBuiltByTheImportIsUsedWithoutABuild) {
  // What postcode-import does: the table, then its index where the window
  // looks for it (the working directory, beside a program folder one can
  // write).
  form_.reset();
  std::string error;
  ASSERT_TRUE(postal::ImportFiles({RealFile().toStdString()}, TablePath(), {}, nullptr, &error))
      << error;
  const std::string index = work_.path().toStdString() + "/POSTCODE.FTS";
  ASSERT_TRUE(postal::BuildImportedIndex(PF_BIN_DIR, TablePath(), index, &error)) << error;
  const auto built = fs::last_write_time(index);
  messages_.Clear();
  StartForm();
  EXPECT_EQ(Form().Table1->RecCount(), 99);
  EXPECT_FALSE(messages_.Messages().join('|').contains(QStringLiteral("키 생성")))
      << messages_.Messages().join('|').toStdString();
  EXPECT_EQ(fs::last_write_time(index), built) << "opened as the import wrote it";
  Form().CheckBoxMsg->setChecked(false);
  SearchByReturn(QStringLiteral("꿈꾸지오"));
  EXPECT_EQ(Shown().size(), 1u);
}

TEST_F(WindowImport, ADroppedFileIsImportedAfterTheDrop) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(RealFile())});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&Form(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&Form(), &drop);
  EXPECT_EQ(Form().Table1->RecCount(), 6) << "not inside the drop";
  for (int i = 0; i < 2000 && Form().Table1->RecCount() != 99; ++i) QTest::qWait(10);
  EXPECT_EQ(Form().Table1->RecCount(), 99) << "imported once the drop has ended";
  // Something that is no file is not taken.
  QMimeData text;
  text.setText(QStringLiteral("서울"));
  QDragEnterEvent other(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&Form(), &other);
  EXPECT_FALSE(other.isAccepted());
}

TEST_F(WindowImport, AFailedImportNamesFileAndLineAndKeepsTheTableInUse) {
  // The real file with its third row cut after five fields.
  const QString file = RealFile("broken.txt");
  std::ifstream in(file.toStdString(), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  in.close();
  size_t third = 0;
  for (int line = 0; line < 3; ++line) third = text.find('\n', third) + 1;
  const size_t end = text.find('\n', third);
  size_t cut = third;
  for (int field = 0; field < 5; ++field) cut = text.find('|', cut) + 1;
  text.erase(cut, end - cut);
  std::ofstream(file.toStdString(), std::ios::binary | std::ios::trunc) << text;

  EXPECT_FALSE(Form().ImportData({file}));
  ASSERT_EQ(messages_.Messages().size(), 1);
  EXPECT_TRUE(messages_.Messages()[0].contains(QStringLiteral("broken.txt:4")))
      << messages_.Messages()[0].toStdString();
  EXPECT_EQ(Form().Table1->RecCount(), 6) << "the table in use stays";
  SearchByReturn(QStringLiteral("개포1동"));
  EXPECT_EQ(Shown(), (std::vector<int>{1, 2, 4}));
  EXPECT_FALSE(fs::exists(TablePath() + ".bak")) << "nothing was replaced";
}

}  // namespace
