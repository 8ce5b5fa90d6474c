// The index rule of the core: an index is opened only when it answers for
// the very table as it is now, and built otherwise, with the observer told
// of every step; a build that cannot be made, saved or opened leaves no
// handle.
#include <fstream>
#include <stdexcept>

#include "CoreFixture.h"
#include "Cp949Text.h"
#include "libs/ftsindex/ftsindex.h"
#include "postal/IndexOpening.h"
#include "postal/TableTag.h"

namespace {

using postal::IndexState;

// Every call of the observer, in order.
class Recorder final : public postal::IndexBuildObserver {
 public:
  void Starting() override { calls += "starting;"; }
  void Started(int32_t count) override { calls += "started " + std::to_string(count) + ";"; }
  void Added(int32_t r) override { calls += std::to_string(r) + ";"; }
  void Saving() override { calls += "saving;"; }
  void Finished() override { calls += "finished;"; }
  std::string calls;
};

// A table whose reading fails at one record, as a table component raises.
class FailingRecords final : public postal::RecordSource {
 public:
  FailingRecords(postal::RecordSource& table, int failAt) : table_(table), failAt_(failAt) {}
  int32_t RecordCount() override { return table_.RecordCount(); }
  int32_t RecordSize() override { return table_.RecordSize(); }
  std::vector<postal::FieldPlace> Fields() override { return table_.Fields(); }
  void GoTop() override { table_.GoTop(), read_ = 0; }
  bool AtEnd() override { return table_.AtEnd(); }
  void Skip() override { table_.Skip(); }
  void Go(int32_t recno) override { table_.Go(recno); }
  void Read(char* buffer) override {
    if (++read_ == failAt_) throw std::runtime_error("read failed");
    table_.Read(buffer);
  }

 private:
  postal::RecordSource& table_;
  int failAt_;
  int read_ = 0;
};

class IndexOpening : public coretest::CoreFixture {
 protected:
  void SetUp() override {
    CoreFixture::SetUp();
    OpenSmallTable();
  }
  postal::IndexOutcome OpenOrBuild(postal::IndexBuildObserver& observer) {
    return postal::OpenOrBuildIndex(*index_, *table_, IndexPath(), TablePath(), record_.data(),
                                    observer);
  }
};

TEST_F(IndexOpening, AMissingIndexIsBuiltFromEveryRecordThenOpenedAsItIs) {
  Recorder build;
  const postal::IndexOutcome built = OpenOrBuild(build);
  EXPECT_EQ(built.state, IndexState::kBuilt);
  EXPECT_TRUE(built.Usable());
  EXPECT_EQ(build.calls, "starting;started 6;1;2;3;4;5;6;saving;finished;");
  EXPECT_GT(index_->Handle(), 0);
  EXPECT_EQ(index_->NumRecs(), 6);
  EXPECT_EQ(table_->AtEnd(), false) << "the table stands on its first record again";
  char stored[FTS_MAX_TAG + 1];
  ASSERT_GT(index_->GetTag(stored, sizeof stored), 0);
  const auto crossings = postal::TagAnswersFor(stored, TablePath());
  ASSERT_TRUE(crossings.has_value()) << stored;
  EXPECT_EQ(crossings->Bits(), built.crossings.Bits());
  // The six records: ZIPCODE meets DDD digit to digit, DDD meets ETC digit to Hangul.
  EXPECT_TRUE(
      built.crossings.MayCross("0"
                               "0"));
  EXPECT_TRUE(built.crossings.MayCross(testsupport::Cp949("2서")));
  EXPECT_FALSE(built.crossings.MayCross(testsupport::Cp949("서울")));
  EXPECT_FALSE(built.crossings.MayCross("ab"));
  index_->Close();

  Recorder again;
  EXPECT_EQ(OpenOrBuild(again).state, IndexState::kOpened);
  EXPECT_EQ(again.calls, "") << "a present index that answers for the table is not built";
  EXPECT_GT(index_->Handle(), 0);
}

TEST_F(IndexOpening, AnIndexThatDoesNotAnswerForTheTableIsBuiltAgain) {
  Recorder first;
  ASSERT_EQ(OpenOrBuild(first).state, IndexState::kBuilt);
  index_->Close();

  // Another table's tag with as many records.
  ASSERT_GT(index_->Create(IndexPath().c_str()), 0);
  index_->SetTag("size=1 crc32c=00000000");
  for (int i = 0; i < 6; ++i) index_->Add(" 135-80602  x");
  ASSERT_EQ(index_->Close(), 0);
  Recorder foreign;
  EXPECT_EQ(OpenOrBuild(foreign).state, IndexState::kBuilt);
  index_->Close();

  // The table's tag over fewer records.
  ASSERT_GT(index_->Create(IndexPath().c_str()), 0);
  index_->SetTag(postal::IndexTag(postal::TableTag(TablePath()), {}).c_str());
  index_->Add(" 135-80602  x");
  ASSERT_EQ(index_->Close(), 0);
  Recorder fewer;
  EXPECT_EQ(OpenOrBuild(fewer).state, IndexState::kBuilt);
  index_->Close();

  // Not an index at all.
  std::ofstream(IndexPath(), std::ios::binary | std::ios::trunc) << "not an index";
  Recorder garbage;
  EXPECT_EQ(OpenOrBuild(garbage).state, IndexState::kBuilt);
  EXPECT_NE(garbage.calls.find("started 6;"), std::string::npos);
}

TEST_F(IndexOpening, AnIndexThatCannotBeMadeLeavesNoHandle) {
  Recorder build;
  const postal::IndexOutcome outcome = postal::OpenOrBuildIndex(
      *index_, *table_, folder_.file("missing/POSTCODE.FTS"), TablePath(), record_.data(), build);
  EXPECT_FALSE(outcome.Usable());
  EXPECT_TRUE(outcome.state == IndexState::kCannotCreate ||
              outcome.state == IndexState::kCannotSave);
  EXPECT_EQ(outcome.error, FTS_ERR_IO);
  EXPECT_EQ(index_->Handle(), 0);
  EXPECT_EQ(build.calls.substr(0, 9), "starting;");
  EXPECT_EQ(build.calls.substr(build.calls.size() - 9), "finished;") << build.calls;
}

TEST_F(IndexOpening, ARecordThatCannotBeReadEndsTheBuildWithoutAnIndex) {
  FailingRecords failing(*table_, 4);
  Recorder build;
  EXPECT_THROW(
      postal::BuildIndex(*index_, failing, IndexPath(), TablePath(), record_.data(), build),
      std::runtime_error);
  EXPECT_EQ(build.calls, "starting;started 6;1;2;3;finished;");
  EXPECT_EQ(index_->Handle(), 0) << "the handle being built is closed";
  Recorder next;
  EXPECT_EQ(OpenOrBuild(next).state, IndexState::kBuilt)
      << "what was saved of the build cut short does not answer for the table";
}

}  // namespace
