// Faults of the I/O layer under every kind of read: a read that fails at the
// Nth call, a short read, a file that shrinks between two reads, a failing
// write. Each gives its documented error and answer; none may fault (run
// under AddressSanitizer). Also what the read-ahead switch changes: the reads,
// never the records.
#include <gtest/gtest.h>

#include "DbfTestSupport.h"
#include "FaultyIo.h"

using namespace dbftest;
using Kind = FaultPlan::Kind;

namespace {

constexpr int kRows = 20000;  // 380 KB: several read-ahead blocks

// Record i holds "row<i>" and the number i.
std::string numbered(int rows) {
  std::vector<std::vector<std::string>> data;
  for (int i = 1; i <= rows; ++i) data.push_back({"row" + std::to_string(i), std::to_string(i)});
  return dbfBytes({{"NAME", 'C', 12}, {"N", 'N', 6}}, data);
}
constexpr int kRecordSize = 1 + 12 + 6;
constexpr int kHeaderLength = 32 + 2 * 32 + 1;

class DbfIoFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    level_ = dbe_ErrorLevel(0);
    cache_ = dbe_SetReadCache(-1);
    writeFile(dir_.file("t.dbf"), numbered(kRows));
  }
  void TearDown() override {
    dbe_SetReadCache(cache_);
    dbe_ErrorLevel(level_);
  }
  // Number field of the record read now; 0 for a blank one.
  static int number() { return std::atoi(str(dbe_GetString("N")).c_str()); }

  TempDir dir_;
  int16_t level_ = 0;
  dbe_bool cache_ = 0;
};

}  // namespace

TEST_F(DbfIoFaults, TheReadAheadSwitchChangesTheReadsNotTheRecords) {
  auto walkWith = [&](bool ahead, std::vector<std::string>& records, bool backwards) {
    FaultPlan plan;
    plan.suffix = "t.dbf";
    FaultyIo io(plan);
    EXPECT_TRUE(io.installed());
    dbe_SetReadCache(ahead ? -1 : 0);
    OpenTable t(dir_.file("t.dbf"));
    EXPECT_TRUE(t.ok());
    const long atOpen = plan.reads;
    std::string rec(static_cast<size_t>(dbe_RecSize()), '\0');
    if (backwards) {
      for (dbe_GoBottom(); !dbe_Bof(); dbe_Skip(-1)) {
        dbe_GetRecord(rec.data());
        records.push_back(rec);
      }
    } else {
      for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) {
        dbe_GetRecord(rec.data());
        records.push_back(rec);
      }
    }
    return plan.reads - atOpen;
  };
  std::vector<std::string> on, off, back;
  const long blocks = walkWith(true, on, false);
  const long single = walkWith(false, off, false);
  EXPECT_EQ(single, kRows) << "off: one read per record";
  EXPECT_GE(blocks, 1);
  EXPECT_LE(blocks, kRows * kRecordSize / (128 * 1024) + 1) << "on: one read per 128 KiB block";
  EXPECT_LE(walkWith(true, back, true), blocks) << "backwards too";
  ASSERT_EQ(on.size(), static_cast<size_t>(kRows));
  EXPECT_EQ(on, off);
  std::reverse(back.begin(), back.end());
  EXPECT_EQ(back, on);
  EXPECT_EQ(on[41].substr(0, 6), " row42");

  // A record visited again is not read again, also with the switch off.
  FaultPlan plan;
  plan.suffix = "t.dbf";
  FaultyIo io(plan);
  dbe_SetReadCache(0);
  OpenTable t(dir_.file("t.dbf"));
  const long atOpen = plan.reads;
  dbe_Go(5);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(number(), 5);
  EXPECT_EQ(plan.reads - atOpen, 1);

  // With it on, a jump reads its record alone and the walk from there a
  // block.
  dbe_SetReadCache(-1);
  dbe_Go(6);
  EXPECT_EQ(number(), 6);
  dbe_Go(15000);
  int64_t bytes = plan.bytesRead;
  EXPECT_EQ(number(), 15000);
  EXPECT_EQ(plan.bytesRead - bytes, kRecordSize);
  dbe_Skip(1);
  bytes = plan.bytesRead;
  EXPECT_EQ(number(), 15001);
  EXPECT_GT(plan.bytesRead - bytes, 1000 * kRecordSize);
  dbe_Skip(1);
  bytes = plan.bytesRead;
  EXPECT_EQ(number(), 15002);
  EXPECT_EQ(plan.bytesRead, bytes) << "in the block read";
}

TEST_F(DbfIoFaults, EveryFailingReadOfAnOpenRefusesTheTable) {
  long openReads = 0;
  {
    FaultPlan plan;
    plan.suffix = "t.dbf";
    FaultyIo io(plan);
    OpenTable t(dir_.file("t.dbf"));
    ASSERT_TRUE(t.ok());
    openReads = plan.reads;
    EXPECT_LE(plan.bytesRead, kHeaderLength) << "an open reads the header only";
  }
  ASSERT_GE(openReads, 1);
  for (long n = 1; n <= openReads; ++n) {
    for (Kind kind : {Kind::FailRead, Kind::ShortRead}) {
      FaultPlan plan{"t.dbf", kind, n};
      FaultyIo io(plan);
      dbe_ClearError();
      OpenTable t(dir_.file("t.dbf"));
      EXPECT_FALSE(t.ok()) << "read " << n;
      EXPECT_EQ(dbe_Error(), kind == Kind::FailRead ? DBE_E_OPEN : DBE_E_TRUNCATED) << n;
    }
  }
  {
    FaultPlan plan{"t.dbf", Kind::FailOpen};
    FaultyIo io(plan);
    dbe_ClearError();
    EXPECT_EQ(dbe_UseEx(dir_.file("t.dbf").c_str(), "", 1, 3, 2), 0);
    EXPECT_EQ(dbe_Error(), DBE_E_OPEN);
    EXPECT_NE(str(dbe_ErrorText()).find("t.dbf"), std::string::npos);
  }
  {
    // Shrunk inside the header, or inside the records: the records present.
    FaultPlan plan{"t.dbf", Kind::Shrink, 1, 20};
    FaultyIo io(plan);
    dbe_ClearError();
    EXPECT_FALSE(OpenTable(dir_.file("t.dbf")).ok());
    EXPECT_EQ(dbe_Error(), DBE_E_TRUNCATED);
    plan = FaultPlan{"t.dbf", Kind::Shrink, 1, kHeaderLength + 5 * kRecordSize + 7};
    plan.reads = 1;  // shrunk from the start
    dbe_ClearError();
    OpenTable t(dir_.file("t.dbf"));
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(dbe_Error(), DBE_E_SHORT);
    EXPECT_EQ(dbe_RecCount(), 5);
    EXPECT_EQ(dbe_SysProp(3003, nullptr), kRows);
  }
}

TEST_F(DbfIoFaults, AFailingRecordReadReadsBlankOnceAndRecordsTheError) {
  for (bool ahead : {false, true}) {
    FaultPlan plan;
    plan.suffix = "t.dbf";
    FaultyIo io(plan);
    dbe_SetReadCache(ahead ? -1 : 0);
    OpenTable t(dir_.file("t.dbf"));
    ASSERT_TRUE(t.ok());
    plan.kind = Kind::FailRead;
    plan.at = plan.reads + 3;
    std::vector<int> seen;
    dbe_ClearError();
    for (dbe_GoTop(); !dbe_Eof() && seen.size() < 30000; dbe_Skip(1)) seen.push_back(number());
    ASSERT_EQ(seen.size(), static_cast<size_t>(kRows)) << "navigation goes on";
    EXPECT_EQ(dbe_Error(), DBE_E_READ);
    int blank = 0;
    for (int i = 0; i < kRows; ++i) {
      if (seen[static_cast<size_t>(i)] == 0)
        ++blank;
      else
        EXPECT_EQ(seen[static_cast<size_t>(i)], i + 1);
    }
    EXPECT_GE(blank, 1);
    EXPECT_LT(blank, kRows / 2);
    // The fault was one read: the same records read again come right.
    dbe_ClearError();
    for (int i = 0; i < kRows; ++i) {
      if (seen[static_cast<size_t>(i)] != 0) continue;
      dbe_Go(i + 1);
      EXPECT_EQ(number(), i + 1);
    }
    EXPECT_EQ(dbe_Error(), DBE_OK);
  }
}

TEST_F(DbfIoFaults, AShortReadIsReadAgainForWhatItLacks) {
  FaultPlan plan;
  plan.suffix = "t.dbf";
  FaultyIo io(plan);
  OpenTable t(dir_.file("t.dbf"));
  plan.kind = Kind::ShortRead;
  plan.at = plan.reads + 1;
  dbe_ClearError();
  int right = 0;
  for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) right += number() == dbe_RecNo();
  EXPECT_EQ(right, kRows);
  EXPECT_EQ(dbe_Error(), DBE_OK);
}

TEST_F(DbfIoFaults, AFileShrinkingWhileOpenReadsBlankBeyondItsNewEnd) {
  constexpr int kLeft = 10000;
  for (bool ahead : {true, false}) {
    FaultPlan plan;
    plan.suffix = "t.dbf";
    FaultyIo io(plan);
    dbe_SetReadCache(ahead ? -1 : 0);
    OpenTable t(dir_.file("t.dbf"));
    ASSERT_TRUE(t.ok());
    dbe_Go(1);
    EXPECT_EQ(number(), 1) << "read before the file shrinks";
    plan.kind = Kind::Shrink;
    plan.at = plan.reads + 1;
    plan.shrinkTo = kHeaderLength + int64_t{kLeft} * kRecordSize + kRecordSize / 2;
    dbe_ClearError();
    int present = 0, blank = 0;
    for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) {
      const int n = number();
      present += n == dbe_RecNo();
      blank += n == 0 && str(dbe_GetString("NAME")) == std::string(12, ' ');
    }
    EXPECT_EQ(present, kLeft) << ahead;
    EXPECT_EQ(blank, kRows - kLeft) << ahead;
    EXPECT_EQ(dbe_Error(), DBE_E_READ);
    EXPECT_EQ(dbe_RecCount(), kRows) << "the count stays as at open";
    EXPECT_EQ(dbe_Query("N > 0"), 1);
    EXPECT_EQ(dbe_QueryRecCount(), kLeft);
    dbe_Query("");
    dbe_GoBottom();
    EXPECT_EQ(dbe_RecNo(), kRows);
    EXPECT_FALSE(dbe_Deleted());
  }
}

TEST_F(DbfIoFaults, AQueryOverAFailingReadLeavesOutTheRecordsItCouldNotRead) {
  for (bool count : {true, false}) {
    FaultPlan plan;
    plan.suffix = "t.dbf";
    FaultyIo io(plan);
    OpenTable t(dir_.file("t.dbf"));
    plan.kind = Kind::FailRead;
    plan.at = plan.reads + 2;
    dbe_ClearError();
    if (count) {
      dbe_SetDeleted(-1);
      EXPECT_EQ(dbe_Count(), kRows) << "deletion flags of a failed read count as not deleted";
      dbe_SetDeleted(0);
      EXPECT_EQ(dbe_Error(), DBE_E_READ);
      continue;
    }
    EXPECT_EQ(dbe_Query("N > 0"), 1);
    EXPECT_EQ(dbe_Error(), DBE_E_READ);
    const int32_t partial = dbe_QueryRecCount();
    EXPECT_GT(partial, 0);
    EXPECT_LT(partial, kRows);
    dbe_ClearError();
    dbe_Query("N > 0");
    EXPECT_EQ(dbe_QueryRecCount(), kRows) << "read again";
    EXPECT_EQ(dbe_Error(), DBE_OK);
  }
}

TEST_F(DbfIoFaults, IndexOpenReadsTheDirectoryAndEachBlockWhenReached) {
  const std::string index = dir_.file("x.mtx");
  {
    OpenTable build(dir_.file("t.dbf"));
    const dbe_tag_def tag{"NAME", "NAME", nullptr, 0, 0};
    ASSERT_EQ(dbe_IndexCreate(index.c_str(), &tag, 1), 1) << dbe_ErrorText();
  }
  const auto indexSize = static_cast<int64_t>(std::filesystem::file_size(index));
  OpenTable t(dir_.file("t.dbf"));
  ASSERT_TRUE(t.ok());
  long openReads = 0;
  {
    FaultPlan plan;
    plan.suffix = "x.mtx";
    FaultyIo io(plan);
    ASSERT_EQ(dbe_IndexOpen(index.c_str()), 1) << dbe_ErrorText();
    openReads = plan.reads;
    EXPECT_LT(plan.bytesRead, indexSize / 10) << "the entries are not read at open";
    dbe_CloseIndexes();
  }
  for (long n = 1; n <= openReads; ++n) {
    for (Kind kind : {Kind::FailRead, Kind::ShortRead}) {
      FaultPlan plan{"x.mtx", kind, n};
      FaultyIo io(plan);
      dbe_ClearError();
      EXPECT_EQ(dbe_IndexOpen(index.c_str()), 0) << n;
      EXPECT_EQ(dbe_Error(), DBE_E_INDEX) << n;
    }
  }
  {
    FaultPlan plan{"x.mtx", Kind::Shrink, 1, indexSize - 1};
    plan.reads = 1;
    FaultyIo io(plan);
    dbe_ClearError();
    EXPECT_EQ(dbe_IndexOpen(index.c_str()), 0);
    EXPECT_EQ(dbe_Error(), DBE_E_INDEX);
  }
  // A block of entries that fails to read: its entries are passed over.
  for (Kind kind : {Kind::FailRead, Kind::Shrink}) {
    FaultPlan plan;
    plan.suffix = "x.mtx";
    FaultyIo io(plan);
    ASSERT_EQ(dbe_IndexOpen(index.c_str()), 1);
    dbe_SetOrder(1);
    plan.kind = kind;
    plan.at = plan.reads + 1;
    plan.shrinkTo = indexSize / 2;
    dbe_ClearError();
    const std::vector<int32_t> visited = walk();
    EXPECT_EQ(dbe_Error(), DBE_E_READ);
    EXPECT_LT(visited.size(), static_cast<size_t>(kRows));
    EXPECT_GT(visited.size(), 0u);
    // A seek whose search meets the block that failed may miss; it answers
    // without reading outside anything (AddressSanitizer watches).
    dbe_Seek("row1");
    dbe_Go(kRows);
    EXPECT_EQ(dbe_RecNo(), kRows);
    EXPECT_EQ(number(), kRows);
    dbe_CloseIndexes();
  }
  // A damaged block opens (the directory is sound) and is found when read.
  std::string bytes = readFile(index);
  const uint8_t* entries = reinterpret_cast<const uint8_t*>(bytes.data()) + 64 + 40;
  uint64_t at = 0;
  for (int i = 7; i >= 0; --i) at = at << 8 | entries[i];
  ASSERT_LT(at + 5, bytes.size());
  bytes[at + 5] ^= 0x20;
  writeFile(dir_.file("bad.mtx"), bytes);
  ASSERT_EQ(dbe_IndexOpen(dir_.file("bad.mtx").c_str()), 1) << dbe_ErrorText();
  dbe_SetOrder(1);
  dbe_ClearError();
  EXPECT_LT(walk().size(), static_cast<size_t>(kRows));
  EXPECT_EQ(dbe_Error(), DBE_E_INDEX);
}

TEST_F(DbfIoFaults, AFailingMemoReadAnswersMinusOne) {
  writeFile(dir_.file("m.dbf"), readFile(fixture("memo_cp949.dbf")));
  writeFile(dir_.file("m.dbt"), readFile(fixture("memo_cp949.dbt")));
  FaultPlan plan;
  plan.suffix = "m.dbt";
  FaultyIo io(plan);
  OpenTable t(dir_.file("m.dbf"));
  ASSERT_TRUE(t.ok());
  dbe_GoTop();
  const int32_t full = dbe_GetMemo("BODY", nullptr, 0);
  ASSERT_GT(full, 0);
  plan.kind = Kind::FailRead;
  plan.at = plan.reads + 1;
  dbe_ClearError();
  EXPECT_EQ(dbe_GetMemo("BODY", nullptr, 0), -1);
  EXPECT_EQ(dbe_Error(), DBE_E_READ);
  EXPECT_EQ(dbe_GetMemo("BODY", nullptr, 0), full);
}

TEST_F(DbfIoFaults, AFailingWriteLeavesTheTargetAsItWasAndNoFileBehind) {
  OpenTable t(dir_.file("t.dbf"));
  ASSERT_TRUE(t.ok());
  writeFile(dir_.file("x.mtx"), "old index");
  writeFile(dir_.file("s.dbf"), "old table");
  const std::vector<std::string> before = dir_.names();
  const dbe_tag_def tag{"NAME", "NAME", nullptr, 0, 0};
  for (long n : {1L, 2L, 3L}) {
    FaultPlan plan{"", Kind::FailWrite, n};
    FaultyIo io(plan);
    dbe_ClearError();
    EXPECT_EQ(dbe_IndexCreate(dir_.file("x.mtx").c_str(), &tag, 1), 0) << n;
    EXPECT_EQ(dbe_Error(), DBE_E_WRITE);
    plan.writes = 0;
    dbe_ClearError();
    EXPECT_EQ(dbe_ScrambleTable(dir_.file("t.dbf").c_str(), dir_.file("s.dbf").c_str(), "pw"), 0);
    EXPECT_EQ(dbe_Error(), DBE_E_WRITE);
    EXPECT_EQ(readFile(dir_.file("x.mtx")), "old index");
    EXPECT_EQ(readFile(dir_.file("s.dbf")), "old table");
    EXPECT_EQ(dir_.names(), before);
  }
  // A record that cannot be read stops the build, which writes nothing.
  FaultPlan plan{"t.dbf"};
  FaultyIo io(plan);
  OpenTable faulty(dir_.file("t.dbf"), 3, "FAULTY");
  ASSERT_TRUE(faulty.ok());
  plan.kind = Kind::FailRead;
  plan.at = plan.reads + 1;
  dbe_ClearError();
  EXPECT_EQ(dbe_IndexCreate(dir_.file("x.mtx").c_str(), &tag, 1), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_READ);
  EXPECT_EQ(readFile(dir_.file("x.mtx")), "old index");
  EXPECT_EQ(dir_.names(), before);
}

TEST(DbfIoLayer, AnIncompleteLayerIsRefused) {
  dbe_io io = *dbe_DefaultIo();
  io.read = nullptr;
  dbe_ClearError();
  EXPECT_EQ(dbe_SetIo(&io), 0);
  EXPECT_EQ(dbe_Error(), DBE_E_ARGUMENT);
  io = *dbe_DefaultIo();
  io.version = DBE_IO_VERSION + 1;
  EXPECT_EQ(dbe_SetIo(&io), 0);
  io = *dbe_DefaultIo();
  io.lock = nullptr;  // no locks: allowed
  EXPECT_NE(dbe_SetIo(&io), 0);
  EXPECT_NE(dbe_SetIo(nullptr), 0);
}
