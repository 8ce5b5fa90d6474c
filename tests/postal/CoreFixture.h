// The search core over a small table of its own: both run-time libraries
// from the build's program folder, the table written by the build's own
// converter into a temporary folder, the index beside it.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "PostalTables.h"
#include "platform/RuntimeLibraries.h"
#include "postal/EngineTable.h"
#include "postal/LibraryIndex.h"

namespace coretest {

class TempFolder {
 public:
  TempFolder() {
    char tmpl[] = "/tmp/postal-test-XXXXXX";
    path_ = ::mkdtemp(tmpl);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

class CoreFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    dbe_ = platform::LoadEngineLibrary(PF_BIN_DIR, &error);
    ASSERT_NE(dbe_, nullptr) << error;
    fts_ = platform::LoadFtsLibrary(PF_BIN_DIR, &error);
    ASSERT_NE(fts_, nullptr) << error;
    index_ = std::make_unique<postal::LibraryIndex>(*fts_);
  }

  // Writes the small table of six records and opens it.
  void OpenSmallTable() {
    testsupport::WriteSmallTable(folder_.path());
    OpenTable();
  }
  void OpenTable() {
    table_ = std::make_unique<postal::EngineTable>(*dbe_, "COREFIX");
    std::string error;
    ASSERT_TRUE(table_->Open(TablePath(), &error)) << error;
    record_.assign(static_cast<size_t>(table_->RecordSize()) + 1, '\0');
  }
  std::string TablePath() const { return folder_.file("POSTCODE.DBF"); }
  std::string IndexPath() const { return folder_.file("POSTCODE.FTS"); }

  TempFolder folder_;
  const platform::EngineEntryPoints* dbe_ = nullptr;
  const platform::FtsEntryPoints* fts_ = nullptr;
  std::unique_ptr<postal::LibraryIndex> index_;
  std::unique_ptr<postal::EngineTable> table_;
  std::vector<char> record_;
};

}  // namespace coretest
