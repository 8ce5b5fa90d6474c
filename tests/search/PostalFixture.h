// The parts of the address search on their own, without the main window: the
// search strip's widgets, a grid over the table through a data source, the
// table, the full-text component, the buffers, all in a temporary working
// directory. Tables are made from small source lists with the converter that
// the build uses for POSTCODE.DBF.
#pragma once
#include <unistd.h>

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>

#include "Cp949Check.h"
#include "EngineIndex.h"
#include "PostalTables.h"
#include "PostcodeDbf.h"
#include "dataset/DBGrid.h"
#include "dataset/DataSource.h"
#include "platform/MessageBox.h"
#include "search/Fts.h"
#include "search/PostalData.h"
#include "search/PostalParts.h"
#include "table/DbfTable.h"

namespace searchtest {

using testsupport::MakeIndex;
using testsupport::WritePostcodeTable;
using testsupport::WriteSmallTable;

inline std::string Cp949(const char* utf8) {
  return postal::Cp949FromUtf8(utf8);
}

class TempFolder {
 public:
  TempFolder() {
    char tmpl[] = "/tmp/search-test-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  QString folder() const { return QString::fromStdString(path_) + QLatin1Char('/'); }

 private:
  std::string path_;
};

class PostalFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    previousDir_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(work_.path())));
    window_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window_.get());
    edSearch = new QLineEdit(window_.get());
    butFilt = new QPushButton(QStringLiteral("찾기"), window_.get());
    Gauge1 = new QProgressBar(window_.get());
    Gauge1->hide();
    CheckBoxMsg = new QCheckBox(window_.get());
    CheckBoxMsg->setChecked(true);
    EditTemp = new QLineEdit(window_.get());
    EditTemp->hide();
    Timer1 = new QTimer(window_.get());
    Timer1->setInterval(2000);
    Timer1->start();
    grid_ = new TDBGrid(window_.get());
    for (QWidget* w : {static_cast<QWidget*>(edSearch), static_cast<QWidget*>(butFilt),
                       static_cast<QWidget*>(Gauge1), static_cast<QWidget*>(CheckBoxMsg),
                       static_cast<QWidget*>(grid_)})
      layout->addWidget(w);
    table_ = std::make_unique<TDbfTable>();
    table_->SetName(QStringLiteral("Table1"));
    table_->SetReadOnly(true);
    table_->SetTableType(ttMTX);
    table_->SetPassword(QString::fromLatin1(postal::kTablePassword));
    table_->Loaded();
    source_ = new TDataSource(window_.get());
    source_->SetDataSet(table_.get());
    grid_->SetDataSource(source_);
    grid_->AddColumn(QStringLiteral("ZIPCODE"));
    grid_->AddColumn(QStringLiteral("ETC"));
    window_->resize(600, 400);
    window_->show();
    QApplication::setActiveWindow(window_.get());

    parts.owner = window_.get();
    parts.Table1 = table_.get();
    parts.Fts1 = &fts_;
    parts.RecordBuffer = &recordBuffer_;
    parts.SearchText = &searchText_;
    parts.Crossings = &crossings_;
    parts.edSearch = edSearch;
    parts.butFilt = butFilt;
    parts.Gauge1 = Gauge1;
    parts.CheckBoxMsg = CheckBoxMsg;
    parts.Timer1 = Timer1;
    parts.DBGrid1 = grid_;
    parts.EditTemp = EditTemp;
    parts.publisherUrl = QStringLiteral("https://postcode.example.org/");
  }

  void TearDown() override {
    search::ClosePostalData(parts);
    grid_->SetDataSource(nullptr);
    window_.reset();
    table_.reset();
    QDir::setCurrent(previousDir_);
  }

  // Opens the table of tables_ (with the index of the working directory).
  void Open() { search::OpenPostalData(parts, tables_.folder()); }
  std::string IndexPath() const { return work_.file("POSTCODE.FTS"); }

  TempFolder tables_, work_;
  platform::MessageRecorder messages;
  TPostalParts parts;
  QLineEdit* edSearch = nullptr;
  QPushButton* butFilt = nullptr;
  QProgressBar* Gauge1 = nullptr;
  QCheckBox* CheckBoxMsg = nullptr;
  QLineEdit* EditTemp = nullptr;
  QTimer* Timer1 = nullptr;
  TDBGrid* grid_ = nullptr;
  TDataSource* source_ = nullptr;
  std::unique_ptr<QWidget> window_;
  std::unique_ptr<TDbfTable> table_;
  TFts fts_;
  TRecordBuffer recordBuffer_;
  TSearchText searchText_{};
  postal::FieldCrossings crossings_ = postal::FieldCrossings::Unknown();
  QString previousDir_;
};

// The six-row table open in the parts, with no message recorded yet.
class SmallTableFixture : public PostalFixture {
 protected:
  void SetUp() override {
    PostalFixture::SetUp();
    WriteSmallTable(tables_.path());
    Open();
    messages.Clear();
  }
};

}  // namespace searchtest
