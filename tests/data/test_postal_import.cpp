// The import as a window calls it (ImportFiles): files of every layout and
// zips of them in one call, the fields the table gets, the date of the data,
// its progress and how it is stopped, and what a failure leaves behind; the
// table's two passes (measure, then write the same records). The files are
// written by hand (RangeText.h, BuildingText.h); the zips are made by the zip
// command.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "BuildingText.h"
#include "DbfReadback.h"
#include "PostalImport.h"
#include "PostalTable.h"
#include "ProcessRun.h"
#include "RangeText.h"
#include "ToolFolder.h"

namespace fs = std::filesystem;

namespace {

PostRow Gaepo(const std::string& main = "29") {
  PostRow r;
  r.zone = "06306", r.sido = "서울특별시", r.sidoEn = "Seoul", r.sigungu = "강남구";
  r.sigunguEn = "Gangnam-gu", r.road = "개포로31길", r.roadEn = "Gaepo-ro 31-gil", r.main = main;
  r.sub = "2", r.name = "꿈꾸지오", r.dong = "개포동", r.lotMain = "1265", r.lotSub = "3";
  return r;
}

GovRow Bangok(const std::string& effective = "20181204") {
  GovRow r;
  r.sido = "세종특별자치시", r.eupmyeondong = "반곡동", r.lotMain = "47", r.lotSub = "1";
  r.road = "한누리대로", r.main = "1811", r.zone = "30145", r.effective = effective;
  return r;
}

int Ymd(const DbfImage& t) {
  return t.year * 10000 + t.month * 100 + t.day;
}

const char* const kRoad =
    "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101||151||1";

class PostalImport : public ToolFolder {
 protected:
  PostalImport() : ToolFolder("postal-import-test") {}

  std::set<std::string> Entries(const fs::path& folder) const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename());
    return names;
  }
  // Imports into dir_/T.DBF; the table read back, or a failed one.
  DbfImage Import(const std::vector<std::string>& inputs, postal::ImportSummary* summary = nullptr,
                  postal::ImportOptions options = {}) {
    if (!options.today) options.today = postal::DbfDate{2030, 1, 2};
    std::string error;
    const bool ok = postal::ImportFiles(inputs, Table(), options, summary, &error);
    EXPECT_TRUE(ok) << error;
    return ReadDbfImage(ok ? Read(Table()) : "");
  }
  std::string ImportFault(const std::vector<std::string>& inputs,
                          const postal::ImportOptions& options = {}) {
    std::string error;
    EXPECT_FALSE(postal::ImportFiles(inputs, Table(), options, nullptr, &error));
    return error;
  }
  std::string Table() const { return (dir_ / "T.DBF").string(); }
  // A zip made by the zip command from files of dir_, run in dir_.
  std::string Zip(const std::string& name, const std::string& members) {
    const ProcessResult r =
        RunCommand("cd " + Quoted(dir_.string()) + " && zip -q -X " + name + " " + members);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    return (dir_ / name).string();
  }
  void Touch(const std::string& path, const std::string& date) {
    ASSERT_EQ(RunCommand("touch -d " + Quoted(date) + " " + Quoted(path)).exitCode, 0);
  }
};

}  // namespace

TEST(PostalTable, TheSecondPassWritesWhatTheFirstMeasured) {
  // Measured in two parts and merged, as two files read apart are.
  postal::PostalTable table, part;
  table.CarryJibun();
  part.CarryEng();
  std::vector<std::string> texts;  // the rows' texts, kept for the second pass
  for (int i = 0; i < 5000; ++i) {
    texts.push_back(std::string(1 + i % 200, 'E'));
    texts.push_back(std::string(i % 7, 'J'));
    texts.push_back(std::string(i % 254, 'G'));
  }
  auto row = [&](int i) {
    static std::string zone;
    zone = std::to_string(10000 + i % 50);
    return postal::TableRow{zone, i % 3 ? "02" : "031", texts[3 * i], texts[3 * i + 1],
                            texts[3 * i + 2]};
  };
  for (int i = 0; i < 5000; ++i) (i < 3000 ? table : part).Measure(row(i));
  part.MarkIslandZone("10007");
  table.Merge(part);
  EXPECT_EQ(table.Fields(),
            (std::vector<postal::DbfField>{
                {"ZIPCODE", 7}, {"DDD", 4}, {"ETC", 200}, {"JIBUN", 6}, {"ENG", 253}}));
  std::string image, why;
  size_t pieces = 0;
  const platform::ByteSink sink = [&](std::string_view b) {
    image.append(b);
    ++pieces;
    return true;
  };
  // The whole image as two runs of records, as two files' are.
  image = table.Header({2024, 5, 6});
  EXPECT_EQ(table.ImageSize(), image.size() + 5000 * table.RecordSize() + 1);
  postal::PostalTable::Writer first(table, sink, 1234), second(table, sink, 5000 - 1234);
  for (int i = 0; i < 1234; ++i) ASSERT_TRUE(first.Add(row(i), &why)) << i << why;
  ASSERT_TRUE(first.Finish(&why)) << why;
  for (int i = 1234; i < 5000; ++i) ASSERT_TRUE(second.Add(row(i), &why)) << i << why;
  ASSERT_TRUE(second.Finish(&why)) << why;
  image += postal::kDbfEndOfFile;
  EXPECT_EQ(pieces, 3u) << "each run in pieces of about a mebibyte";
  const DbfImage t = ReadDbfImage(image);
  ASSERT_TRUE(t.wellFormed);
  ASSERT_EQ(t.records.size(), 5000u);
  EXPECT_EQ(Ymd(t), 20240506);
  // Every record of the islands' zone dials 032, the ones before the zone was
  // marked too.
  EXPECT_EQ(t.records[7][0] + " " + t.records[7][1], "10007 032");
  EXPECT_EQ(t.records[6][0] + " " + t.records[6][1], "10006 031");
  EXPECT_EQ(t.records[4999][2], texts[3 * 4999]);
  EXPECT_EQ(t.records[4999][4], texts[3 * 4999 + 2]);
}

TEST(PostalTable, RowsThatDifferFromTheMeasuredOnesAreRefused) {
  postal::PostalTable table;
  table.Measure({"06306", "02", "short", {}, {}});
  std::string image, why;
  const platform::ByteSink sink = [&](std::string_view b) {
    image.append(b);
    return true;
  };
  postal::PostalTable::Writer longer(table, sink, 1);
  EXPECT_FALSE(longer.Add({"06306", "02", std::string(84, 'x'), {}, {}}, &why));
  EXPECT_EQ(why, "the rows differ from the ones measured: the input changed while it was read");
  postal::PostalTable::Writer fewer(table, sink, 1);
  EXPECT_FALSE(fewer.Finish(&why));
  postal::PostalTable::Writer more(table, sink, 1);
  ASSERT_TRUE(more.Add({"06306", "02", "short", {}, {}}, &why));
  EXPECT_FALSE(more.Add({"06306", "02", "short", {}, {}}, &why));
  // A table without JIBUN takes no lot address.
  postal::PostalTable::Writer lot(table, sink, 1);
  EXPECT_FALSE(lot.Add({"06306", "02", "short", "a lot", {}}, &why));
}

TEST_F(PostalImport, EveryLayoutInOneCallMakesOneTableWithEveryField) {
  const std::string post =
      Write("서울특별시.txt", BuildingFileText({kKoreaPostColumns, Gaepo().Line()}));
  const std::string gov = Write("rnaddrkor_sejong.txt", BuildingFileText({Bangok().Line()}));
  const std::string road = Write("road.txt", RangeFileText({kRoadColumns, kRoad}));
  postal::ImportSummary s;
  const DbfImage t = Import({post, gov, road}, &s);
  // JIBUN: the 31 bytes of "서울특별시 강남구 개포동 1265-3"; ENG: the 44 of the range row's.
  EXPECT_EQ(t.Layout(), "ZIPCODE:7 DDD:4 ETC:83 JIBUN:31 ENG:44");
  ASSERT_EQ(t.records.size(), 3u);
  EXPECT_EQ(
      t.Row(0),
      "06306|02|서울특별시 강남구 개포로31길 29-2 (개포동, 꿈꾸지오)|서울특별시 강남구 개포동 "
      "1265-3|29-2 Gaepo-ro 31-gil, Gangnam-gu, Seoul");
  EXPECT_EQ(t.Row(1),
            "30145|044|세종특별자치시 한누리대로 1811 (반곡동)|세종특별자치시 반곡동 47-1|");
  EXPECT_EQ(t.Row(2),
            "06236|02|서울특별시 강남구 테헤란로 101∼151 (홀수)||101∼151 (odd) Teheran-ro, "
            "Gangnam-gu, Seoul");
  ASSERT_EQ(s.files.size(), 3u);
  EXPECT_EQ(s.files[0].layout, "Korea Post's address DB");
  EXPECT_EQ(s.files[1].layout, "the government's road-name address DB");
  EXPECT_EQ(s.files[2].layout, "road-name ranges");
  EXPECT_EQ(s.records, 3u);
  EXPECT_EQ(s.fields.size(), 5u);
  EXPECT_EQ(s.table, Table());

  // The government's data alone carries no English: no ENG field at all.
  EXPECT_EQ(Import({gov}).Layout(), "ZIPCODE:7 DDD:4 ETC:83 JIBUN:26");
  // Range files alone carry no lot address of a building: no JIBUN.
  EXPECT_EQ(Import({road}).Layout(), "ZIPCODE:7 DDD:4 ETC:83 ENG:44");
}

TEST_F(PostalImport, TheTableIsDatedWithTheDateOfTheData) {
  postal::ImportSummary s;
  // Korea Post's file names no date: the day of the import.
  const std::string post = Write("서울특별시.txt", BuildingFileText({Gaepo().Line()}));
  EXPECT_EQ(Ymd(Import({post}, &s)), 20300102);
  EXPECT_FALSE(s.dateFromData);
  // The latest 효력발생일 of the government's rows.
  const std::string gov = Write(
      "rnaddrkor_sejong.txt",
      BuildingFileText({Bangok("20230627").Line(), Bangok("20110729").Line(), Bangok("").Line()}));
  EXPECT_EQ(Ymd(Import({gov, post}, &s)), 20230627);
  EXPECT_TRUE(s.dateFromData);
  // A range file's name.
  const std::string road = Write("20251028_도로명범위.txt", RangeFileText({kRoadColumns, kRoad}));
  EXPECT_EQ(Ymd(Import({gov, road}, &s)), 20251028);
  // The latest of all the dates named, whichever is seen first.
  const std::string older = Write("20200101_도로명범위.txt", RangeFileText({kRoadColumns, kRoad}));
  EXPECT_EQ(Ymd(Import({older, gov}, &s)), 20230627);
  EXPECT_EQ(Ymd(Import({gov, older}, &s)), 20230627);
  // Eight digits that are no date, or run on into more digits, name none.
  const std::string odd = Write("20251399_도로명범위.txt", RangeFileText({kRoad}));
  const std::string longer = Write("202510281_도로명범위.txt", RangeFileText({kRoad}));
  EXPECT_EQ(Ymd(Import({odd, longer}, &s)), 20300102);
  // A zip's members: the date they carry.
  Touch(post, "2024-11-05 10:00");
  const std::string zip = Zip("zipcode_DB.zip", "서울특별시.txt");
  EXPECT_EQ(Ymd(Import({zip}, &s)), 20241105);
  EXPECT_TRUE(s.dateFromData);
}

TEST_F(PostalImport, AZipAsDownloadedReadsAsItsFiles) {
  const std::string seoul =
      Write("서울특별시.txt",
            BuildingFileText({kKoreaPostColumns, Gaepo("29").Line(), Gaepo("31").Line()}));
  const std::string busan =
      Write("부산광역시.txt", BuildingFileText({kKoreaPostColumns, Gaepo("7").Line()}));
  Write("readme.pdf", "%PDF-1.4 not postal data");
  fs::create_directory(dir_ / "docs");
  Write("docs/note.TXT", BuildingFileText({Gaepo("9").Line()}));
  const std::string zip =
      Zip("zipcode_DB.zip", "서울특별시.txt readme.pdf docs docs/note.TXT 부산광역시.txt");
  postal::ImportSummary s;
  const DbfImage fromZip = Import({zip}, &s);
  const DbfImage fromFiles = Import({seoul, (dir_ / "docs/note.TXT").string(), busan});
  EXPECT_EQ(fromZip.records, fromFiles.records);
  ASSERT_EQ(s.files.size(), 3u);
  EXPECT_EQ(s.files[0].name, zip + ":서울특별시.txt");
  EXPECT_EQ(s.files[0].rows, 2u);
  EXPECT_EQ(s.files[1].name, zip + ":docs/note.TXT");
  EXPECT_EQ(s.leftOut, std::vector<std::string>{zip + ":readme.pdf"});

  // A zip and a file in one call.
  EXPECT_EQ(Import({zip, busan}).records.size(), 5u);

  // Names in CP949, as Korean archivers write them, are shown in UTF-8.
  const std::string cp949Name = postal::Cp949FromUtf8("경기도.txt");
  fs::copy_file(busan, dir_ / cp949Name);
  const std::string korean = Zip("korean.zip", Quoted(cp949Name));
  Import({korean}, &s);
  ASSERT_EQ(s.files.size(), 1u);
  EXPECT_EQ(s.files[0].name, korean + ":경기도.txt");
}

TEST_F(PostalImport, FaultsInAZipNameTheArchiveAndTheMember) {
  PostRow bad = Gaepo();
  bad.main = "x";
  Write("서울특별시.txt", BuildingFileText({kKoreaPostColumns, Gaepo().Line(), bad.Line()}));
  const std::string zip = Zip("zipcode_DB.zip", "서울특별시.txt");
  EXPECT_EQ(ImportFault({zip}), zip + ":서울특별시.txt:3: 건물번호본번 \"x\": not a number");

  Write("readme.pdf", "%PDF");
  const std::string none = Zip("none.zip", "readme.pdf");
  EXPECT_EQ(ImportFault({none}), none + ": holds no text file of postal data");

  // Cut short, as an interrupted download is.
  const std::string whole = Read(zip);
  const std::string cut = Write("cut.zip", whole.substr(0, whole.size() - 30));
  EXPECT_EQ(ImportFault({cut}).rfind(cut + ": not a zip archive that can be read: ", 0), 0u);
  // A member whose bytes are damaged fails its CRC at its end.
  std::string damaged = whole;
  const size_t at = damaged.find("서울특별시.txt") + 40;  // in the member's bytes
  damaged[at] = static_cast<char>(damaged[at] ^ 0x55);
  const std::string bent = Write("bent.zip", damaged);
  EXPECT_EQ(ImportFault({bent}).rfind(bent + ":서울특별시.txt", 0), 0u) << ImportFault({bent});
  EXPECT_FALSE(fs::exists(Table()));
}

TEST_F(PostalImport, ProgressRunsThroughBothStagesAndCanStopTheImport) {
  std::vector<std::string> lines = {kKoreaPostColumns};
  for (int i = 1; i <= 20000; ++i) lines.push_back(Gaepo(std::to_string(i)).Line());
  std::string text;
  for (const std::string& l : lines) text += postal::Cp949FromUtf8(l) + "\n";
  const std::string post = Write("서울특별시.txt", text);
  std::vector<postal::ImportProgress> seen;
  postal::ImportOptions options;
  options.progress = [&](const postal::ImportProgress& p) {
    seen.push_back(p);
    return true;
  };
  const DbfImage t = Import({post}, nullptr, options);
  ASSERT_EQ(t.records.size(), 20000u);
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen.front().stage, postal::ImportStage::kReading);
  EXPECT_EQ(seen.front().file, post);
  EXPECT_EQ(seen.front().bytesTotal, text.size());
  // The estimate of all rows is near the truth once rows are read.
  for (const postal::ImportProgress& p : seen)
    if (p.stage == postal::ImportStage::kReading && p.rowsDone > 0) {
      EXPECT_NEAR(static_cast<double>(p.rowsTotal), 20000.0, 400.0);
    }
  for (size_t i = 1; i < seen.size(); ++i) {
    if (seen[i].stage == seen[i - 1].stage) {
      EXPECT_GE(seen[i].rowsDone, seen[i - 1].rowsDone);
    }
  }
  EXPECT_EQ(seen.back().stage, postal::ImportStage::kWriting);
  EXPECT_EQ(seen.back().rowsDone, 20000u);
  EXPECT_EQ(seen.back().rowsTotal, 20000u);

  // Stopped in either stage: the table stays, nothing is left behind.
  const std::string before = Read(Table());
  for (postal::ImportStage stage : {postal::ImportStage::kReading, postal::ImportStage::kWriting}) {
    options.progress = [&](const postal::ImportProgress& p) { return p.stage != stage; };
    EXPECT_EQ(ImportFault({post}, options), "the import was stopped");
    EXPECT_EQ(Read(Table()), before);
    EXPECT_EQ(Entries(dir_), (std::set<std::string>{"T.DBF", "서울특별시.txt"}));
  }
}

TEST_F(PostalImport, AFailureLeavesTheTableAndNoFile) {
  const std::string post = Write("서울특별시.txt", BuildingFileText({Gaepo().Line()}));
  Import({post});
  const std::string before = Read(Table());
  const std::set<std::string> entries = Entries(dir_);
  // A missing file is found before any row is read.
  EXPECT_EQ(ImportFault({post, (dir_ / "missing.txt").string()}),
            (dir_ / "missing.txt").string() + ": cannot be read: No such file or directory");
  EXPECT_EQ(ImportFault({}), "no files to import");
  // Files are read two at a time, the larger first: the fault reported is
  // the one of the first file in the order given, wherever it lies.
  PostRow bad = Gaepo();
  bad.zone = "6306";
  std::vector<std::string> lines = {kKoreaPostColumns};
  for (int i = 0; i < 3000; ++i) lines.push_back(Gaepo(std::to_string(i + 1)).Line());
  lines.push_back(bad.Line());
  std::string late;
  for (const std::string& l : lines) late += postal::Cp949FromUtf8(l) + "\n";
  const std::string first = Write("late.txt", late);
  const std::string second = Write("early.txt", BuildingFileText({bad.Line()}));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ImportFault({post, first, second}),
              first + ":3002: 우편번호 \"6306\": not a five-digit zone number");
    EXPECT_EQ(ImportFault({second, first}),
              second + ":1: 우편번호 \"6306\": not a five-digit zone number");
  }
  fs::remove(first);
  fs::remove(second);
  EXPECT_EQ(ImportFault({Write("names.txt", BuildingFileText({kKoreaPostColumns}))}),
            "the files hold no rows");
  const std::string empty = Write("empty.txt", "");
  EXPECT_EQ(ImportFault({empty}), empty + ":1: empty file: neither column names nor rows");
  EXPECT_EQ(Read(Table()), before);
  std::set<std::string> now = Entries(dir_);
  now.erase("names.txt");
  now.erase("empty.txt");
  EXPECT_EQ(now, entries);
}
