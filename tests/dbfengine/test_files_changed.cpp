// Files changed by another process while they are open: a table, its memo
// file and its index truncated or overwritten under an open work area. The
// engine reads records, memo blocks and index blocks when they are asked for,
// so a read past the new end answers blank (records), -1 (memos) or passes
// the entries over (index), with an error recorded; none may fault, as a read
// through a mapping of the shrunk file would (SIGBUS).
#include <gtest/gtest.h>

#include <filesystem>

#include "DbfTestSupport.h"

using namespace dbftest;

namespace {

constexpr int kRecords = 3000;  // well over a page of records

std::string bigTable() {
  std::vector<std::vector<std::string>> rows;
  for (int i = 1; i <= kRecords; ++i)
    rows.push_back({"name" + std::to_string((i * 7919) % kRecords), std::to_string(i % 1000)});
  return dbfBytes({{"NAME", 'C', 12}, {"N", 'N', 4}}, rows);
}

// Everything a reader of the table sees: records in both orders, a field,
// a query set and a seek.
struct View {
  std::vector<int32_t> natural, ordered;
  std::string lastName, lastRecord;
  int32_t queryCount = 0;
  int32_t seekRecno = 0;
  bool operator==(const View&) const = default;
};

View look() {
  View v;
  dbe_SetOrder(0);
  v.natural = walk();
  dbe_GoBottom();
  v.lastName = str(dbe_GetString("NAME"));
  v.lastRecord.assign(static_cast<size_t>(dbe_RecSize()), '\0');
  dbe_GetRecord(v.lastRecord.data());
  dbe_Query("N > 500");
  v.queryCount = dbe_QueryRecCount();
  dbe_Query("");
  dbe_SetOrder(1);
  v.ordered = walk();
  dbe_Seek("name42");
  v.seekRecno = dbe_Eof() ? 0 : dbe_RecNo();
  dbe_SetOrder(0);
  return v;
}

}  // namespace

TEST(DbfFilesChanged, ATableAndItsIndexCutWhileOpenReadBlankAndNeverFault) {
  TempDir dir;
  const std::string table = dir.file("t.dbf"), index = dir.file("t.mtx");
  const std::string bytes = bigTable();
  writeFile(table, bytes);
  {
    OpenTable build(table, 3, "BUILD");
    ASSERT_TRUE(build.ok());
    const dbe_tag_def tag{"NAME", "NAME", nullptr, 0, 0};
    ASSERT_EQ(dbe_IndexCreate(index.c_str(), &tag, 1), 1) << dbe_ErrorText();
  }
  const std::string indexBytes = readFile(index);
  const int16_t level = dbe_ErrorLevel(0);
  for (bool ahead : {true, false}) {
    writeFile(table, bytes);
    writeFile(index, indexBytes);
    const dbe_bool cache = dbe_SetReadCache(ahead ? -1 : 0);
    {
      OpenTable t(table);  // opens the production index t.mtx with it
      ASSERT_TRUE(t.ok()) << dbe_ErrorText();
      ASSERT_EQ(dbe_SysProp(3000, nullptr), 1) << "the index is open";

      // Cut both files to a few bytes, as `truncate -s` does.
      std::filesystem::resize_file(table, 100);
      std::filesystem::resize_file(index, 10);
      dbe_ClearError();
      const View cut = look();
      EXPECT_EQ(dbe_Error(), DBE_E_READ);
      EXPECT_EQ(cut.natural.size(), static_cast<size_t>(kRecords)) << "the count stays";
      EXPECT_EQ(cut.lastName, std::string(12, ' '));
      EXPECT_EQ(cut.lastRecord, std::string(static_cast<size_t>(dbe_RecSize()), ' '));
      EXPECT_EQ(cut.queryCount, 0);
      EXPECT_TRUE(cut.ordered.empty()) << "no entry can be read";
      EXPECT_EQ(cut.seekRecno, 0);

      // Copying another, smaller table over it goes through the same shrink.
      writeFile(table, dbfBytes({{"X", 'C', 1}}, {{"a"}}));
      writeFile(index, "");
      EXPECT_EQ(look().natural.size(), static_cast<size_t>(kRecords));
    }
    // Opened again, the table is what the file holds now.
    OpenTable again(table, 3, "AGAIN");
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(dbe_RecCount(), 1);
    dbe_SetReadCache(cache);
  }
  dbe_ErrorLevel(level);
}

TEST(DbfFilesChanged, RecordsRewrittenInPlaceReadAsTheyAreNow) {
  TempDir dir;
  const std::string table = dir.file("t.dbf");
  writeFile(table, dbfBytes({{"NAME", 'C', 6}}, {{"first"}, {"second"}}));
  OpenTable t(table);
  ASSERT_TRUE(t.ok());
  dbe_SetReadCache(0);
  dbe_Go(2);
  EXPECT_EQ(str(dbe_GetString("NAME")), "second");
  writeFile(table, dbfBytes({{"NAME", 'C', 6}}, {{"one"}, {"two"}}));
  dbe_Go(1);
  EXPECT_EQ(str(dbe_GetString("NAME")), "one   ");
  dbe_Go(2);
  EXPECT_EQ(str(dbe_GetString("NAME")), "two   ");
  dbe_SetReadCache(-1);
}

TEST(DbfFilesChanged, RecordsReadAheadAreReadAgainOnceTheSwitchIsSet) {
  TempDir dir;
  const std::string table = dir.file("t.dbf");
  writeFile(table, dbfBytes({{"NAME", 'C', 6}}, {{"first"}, {"second"}, {"third"}}));
  OpenTable t(table);
  ASSERT_TRUE(t.ok());
  dbe_SetReadCache(-1);
  for (int r = 1; r <= 3; ++r) {  // a walk: the block of all three is kept
    dbe_Go(r);
    dbe_GetString("NAME");
  }
  writeFile(table, dbfBytes({{"NAME", 'C', 6}}, {{"one"}, {"two"}, {"three"}}));
  dbe_Go(2);
  EXPECT_EQ(str(dbe_GetString("NAME")), "second") << "kept as it was read";
  dbe_SetReadCache(-1);  // set again, even to the same: read from the file
  dbe_Go(2);
  EXPECT_EQ(str(dbe_GetString("NAME")), "two   ");
  dbe_GoTop();
  EXPECT_EQ(str(dbe_GetString("NAME")), "one   ");
  writeFile(table, dbfBytes({{"NAME", 'C', 6}}, {{"uno"}, {"dos"}, {"tres"}}));
  dbe_SetReadCache(0);
  dbe_Go(3);
  EXPECT_EQ(str(dbe_GetString("NAME")), "tres  ");
  dbe_SetReadCache(-1);
}

TEST(DbfFilesChanged, AMemoFileCutWhileOpenAnswersDamageNotAFault) {
  TempDir dir;
  writeFile(dir.file("m.dbf"), readFile(fixture("memo_cp949.dbf")));
  const std::string memoPath = dir.file("m.dbt");
  const std::string memo = readFile(fixture("memo_cp949.dbt"));
  writeFile(memoPath, memo);
  OpenTable t(dir.file("m.dbf"));
  ASSERT_TRUE(t.ok());
  dbe_GoTop();
  const int32_t full = dbe_GetMemo("BODY", nullptr, 0);
  ASSERT_GT(full, 512) << "the first memo spans more than one block";

  std::filesystem::resize_file(memoPath, 600);  // inside the first memo
  dbe_GoTop();
  EXPECT_EQ(dbe_GetMemo("BODY", nullptr, 0), 600 - 512) << "text up to the new end";
  std::filesystem::resize_file(memoPath, 100);  // before the first block
  dbe_ClearError();
  std::string buffer(static_cast<size_t>(full), '\0');
  EXPECT_EQ(dbe_GetMemo("BODY", buffer.data(), full), -1);
  EXPECT_EQ(dbe_Error(), DBE_E_CORRUPT);
  dbe_Go(3);
  EXPECT_EQ(dbe_GetMemo("BODY", nullptr, 0), -1);

  writeFile(memoPath, memo);  // back as it was
  dbe_GoTop();
  EXPECT_EQ(dbe_GetMemo("BODY", nullptr, 0), full);
}
