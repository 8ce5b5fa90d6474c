// A search through the core: what the index answers, the records confirmed
// with the index and without it (the same), stopping early, the proven
// candidates, and the search of a program without a window.
#include <algorithm>
#include <vector>

#include "CoreFixture.h"
#include "Cp949Text.h"
#include "libs/ftsindex/ftsindex.h"
#include "postal/AddressSearch.h"
#include "postal/IndexOpening.h"
#include "postal/PostalSearch.h"

namespace {

using postal::IndexAnswer;

class SearchCore : public coretest::CoreFixture {
 protected:
  void SetUp() override {
    CoreFixture::SetUp();
    OpenSmallTable();
    postal::IndexBuildObserver quiet;
    const postal::IndexOutcome outcome =
        postal::OpenOrBuildIndex(*index_, *table_, IndexPath(), TablePath(), record_.data(), quiet);
    ASSERT_TRUE(outcome.Usable());
    crossings_ = outcome.crossings;
  }

  postal::SearchText Text(const char* utf8) {
    postal::SearchText text;
    EXPECT_NE(postal::MakeSearchText(utf8, &text), postal::TextStatus::kNotCp949);
    return text;
  }

  postal::SearchOutcome Run(const char* utf8,
                            const std::function<bool(const postal::AddressMatch&)>& onMatch,
                            bool readEveryMatch = false) {
    const postal::SearchText text = Text(utf8);
    postal::AddressSearch search(*index_, *table_, crossings_);
    postal::SearchRequest request;
    request.text = &text;
    request.record = record_.data();
    request.onMatch = onMatch;
    request.readEveryMatch = readEveryMatch;
    return search.Run(request);
  }

  // The record numbers reported for a query, with the index or without one.
  std::vector<int32_t> Matches(const char* utf8, bool withIndex, size_t stopAfter = 0) {
    EXPECT_GT(index_->Handle(), 0) << "the index is open before each search";
    if (!withIndex) index_->Close();
    std::vector<int32_t> found;
    const postal::SearchOutcome outcome = Run(utf8, [&](const postal::AddressMatch& m) {
      found.push_back(m.recno);
      return found.size() != stopAfter;
    });
    EXPECT_EQ(outcome.answer == IndexAnswer::kEveryRecord, !withIndex) << utf8;
    if (!withIndex) EXPECT_GT(index_->Open(IndexPath().c_str()), 0);
    return found;
  }

  postal::FieldCrossings crossings_ = postal::FieldCrossings::Unknown();
};

TEST_F(SearchCore, TheIndexAnswersNoKeyNoDataOrCandidates) {
  auto answer = [&](const char* q) {
    const postal::SearchOutcome o = Run(q, [](const postal::AddressMatch&) { return true; });
    return o.visited ? IndexAnswer::kCandidates : o.answer;
  };
  EXPECT_EQ(answer("없는말"), IndexAnswer::kNoKey);
  EXPECT_EQ(answer("부산 개포1동"), IndexAnswer::kNoData);
  EXPECT_EQ(answer("개포1동"), IndexAnswer::kCandidates);
  index_->Close();
  EXPECT_EQ(Run("개포1동", [](const postal::AddressMatch&) { return true; }).answer,
            IndexAnswer::kEveryRecord)
      << "without an index every record is read";
}

TEST_F(SearchCore, TheIndexsMatchesAreTheRecordsThatHoldTheText) {
  EXPECT_EQ(Matches("개포1동", true), (std::vector<int32_t>{1, 2, 4}));
  EXPECT_EQ(Matches("가나다", true), (std::vector<int32_t>{}))
      << "a candidate with every pair but not the word is not confirmed";
  for (const char* q :
       {"개포1동", "아파트 강남구", "ㄱㅍ1ㄷ", "1∼6", "부산", "가나다", "역삼동끝"}) {
    SCOPED_TRACE(q);
    EXPECT_EQ(Matches(q, true), Matches(q, false));
  }
  EXPECT_EQ(Matches("강남구", true, 2), (std::vector<int32_t>{1, 2})) << "stops when told";
}

TEST_F(SearchCore, ProvenCandidatesAreReportedUnreadUnlessTheRecordIsWanted) {
  std::vector<const char*> records;
  Run("부산", [&](const postal::AddressMatch& m) {
    records.push_back(m.record);
    return true;
  });
  EXPECT_EQ(records, (std::vector<const char*>{nullptr}));
  std::string address;
  Run(
      "부산",
      [&](const postal::AddressMatch& m) {
        address = std::string(postal::FieldText(m.record, table_->Field("ETC")));
        return true;
      },
      true);
  EXPECT_EQ(address, testsupport::Cp949("부산 해운대구 가나 나다"));

  // Many at a time where the caller takes them so: the same records, and
  // none through onMatch; not for a search that must read its records.
  for (const char* q : {"부산", "강남구", "개포1동"}) {
    SCOPED_TRACE(q);
    const postal::SearchText text = Text(q);
    postal::AddressSearch search(*index_, *table_, crossings_);
    postal::SearchRequest request;
    request.text = &text;
    request.record = record_.data();
    std::vector<int32_t> found;
    request.onMatch = [&](const postal::AddressMatch& m) {
      found.push_back(m.recno);
      return true;
    };
    request.onProvenMatches = [&](const int32_t* recnos, size_t count) {
      found.insert(found.end(), recnos, recnos + count);
      return true;
    };
    const postal::SearchOutcome outcome = search.Run(request);
    EXPECT_EQ(found, Matches(q, true));
    EXPECT_EQ(outcome.matches, static_cast<int32_t>(found.size()));
  }
  size_t batches = 0, singles = 0;
  const postal::SearchText text = Text("부산");
  postal::AddressSearch search(*index_, *table_, crossings_);
  postal::SearchRequest request;
  request.text = &text;
  request.record = record_.data();
  request.onMatch = [&](const postal::AddressMatch&) { return ++singles, true; };
  request.onProvenMatches = [&](const int32_t*, size_t) { return ++batches, true; };
  search.Run(request);
  EXPECT_EQ(batches, 1u);
  EXPECT_EQ(singles, 0u);
  request.readEveryMatch = true;
  batches = singles = 0;
  search.Run(request);
  EXPECT_EQ(batches, 0u);
  EXPECT_EQ(singles, 1u);
}

TEST_F(SearchCore, TheSpansAreWhatMatchedANumberInARangeIsTheRange) {
  // Record 2: 서울 강남구 개포1동 우성3차아파트 (1∼6동); 3동 lies in (1∼6동).
  table_->Go(2);
  table_->Read(record_.data());
  const std::string etc(postal::FieldText(record_.data(), table_->Field("ETC")));
  const int32_t base = table_->Field("ETC").offset;
  auto shown = [&](const char* query) {
    std::string marked;
    for (const auto& [b, e] : postal::MatchedSpans(*index_, table_->Fields(), record_.data(),
                                                   table_->RecordSize(), Text(query)))
      marked += "[" + etc.substr(static_cast<size_t>(b - base), static_cast<size_t>(e - b)) + "]";
    return marked;
  };
  EXPECT_EQ(shown("우성3차 3동"), testsupport::Cp949("[우성3차][(1∼6동)]"));
  EXPECT_EQ(shown("강남구 개포1동"), testsupport::Cp949("[강남구][개포1동]"));
  EXPECT_EQ(shown("서울특별시 우성"), testsupport::Cp949("[서울][우성]")) << "another form of 서울";
  EXPECT_EQ(shown("부산"), "") << "a record that does not match shows nothing";
}

TEST(PostalSearch, OpensFindsAndTellsWhatIsWrong) {
  coretest::TempFolder tables, index;
  testsupport::WriteSmallTable(tables.path());
  platform::RunFolders folders;
  folders.program = PF_BIN_DIR;
  folders.table = tables.path();
  folders.index = index.path() + "/cache";  // made when missing
  postal::PostalSearch search(folders);
  std::string error;
  ASSERT_TRUE(search.OpenTable(&error)) << error;
  EXPECT_EQ(search.RecordCount(), 6);
  EXPECT_EQ(search.StatedRecordCount(), 6);
  std::vector<std::string> notes;
  ASSERT_TRUE(search.OpenIndex([&](const std::string& n) { notes.push_back(n); }, &error)) << error;
  EXPECT_TRUE(search.Built());
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("building the index"), std::string::npos);

  postal::SearchText text;
  ASSERT_EQ(postal::MakeSearchText("개포1동 아파트", &text), postal::TextStatus::kReady);
  std::vector<int32_t> rows;
  std::string zipcode;
  EXPECT_EQ(search.Search(text, 0,
                          [&](const postal::PostalRow& r) {
                            rows.push_back(r.recno);
                            if (zipcode.empty()) zipcode = r.zipcode;
                          }),
            3);
  EXPECT_EQ(rows, (std::vector<int32_t>{1, 2, 4}));
  EXPECT_EQ(zipcode, "135-806");

  postal::PostalSearch again(folders);
  ASSERT_TRUE(again.OpenTable(&error)) << error;
  ASSERT_TRUE(again.OpenIndex(nullptr, &error)) << error;
  EXPECT_FALSE(again.Built()) << "the index built before answers for the table";

  folders.table = index.path();  // no table there
  postal::PostalSearch missing(folders);
  EXPECT_FALSE(missing.OpenTable(&error));
  EXPECT_NE(error.find("unable to open the table"), std::string::npos) << error;
}

}  // namespace
