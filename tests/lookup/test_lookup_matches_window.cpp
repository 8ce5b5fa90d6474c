// postcode-lookup gives exactly the rows the window gives: the window's
// search run and the lookup's search over the same small table and the same
// index (built by the window), query by query, record numbers and texts. And
// the C library's CP949 (the lookup's) against Qt's windows-949 (the
// window's) over every line of the national source list.
#include <QFile>
#include <fstream>
#include <sstream>

#include "lookup/PostalLookup.h"
#include "lookup/QueryText.h"
#include "platform/Cp949.h"
#include "search/SearchRun.h"
#include "search/SearchText.h"
#include "tests/search/PostalFixture.h"

namespace {

struct Row {
  int recno;
  std::string zipcode, ddd, address;
  bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
  return os << r.recno << " " << r.zipcode << "|" << r.ddd << "|" << r.address;
}

class LookupMatchesWindow : public searchtest::PostalFixture {
 protected:
  void SetUp() override {
    PostalFixture::SetUp();
    // Source rows as Korea Post writes them (see data/source), made into the
    // table by the build's own converter: ASCII letters in both cases,
    // ranges with U+223C, a province without a county, look-alike words.
    searchtest::WritePostcodeTable(tables_.path(),
                                   {
                                       "135-080,서울,강남구,역삼동,,1",
                                       "135-081,서울,강남구,역삼1동 역삼아파트,(1∼6동),2",
                                       "135-082,서울,강남구,역삼2동,,3",
                                       "612-021,부산,해운대구,가나 나다라,,4",
                                       "135-280,서울,강남구,대치동 SK Tower,,5",
                                       "339-800,세종,,연기면 sk텔레콤,,6",
                                       "690-110,제주,제주시,일도1동 KAL호텔,,7",
                                       "135-083,서울,강남구,역삼1동 주공아파트,(1∼16동),8",
                                   });
    Open();
    CheckBoxMsg->setChecked(false);
    messages.Clear();
  }

  std::vector<Row> Window(const std::string& query) {
    edSearch->setText(QString::fromStdString(query));
    std::vector<Row> rows;
    if (search::RunSearch(parts) == 0) return rows;  // the grid shows all: nothing matched
    table_->First();
    while (!table_->Eof()) {
      auto text = [&](const char* field) {
        return platform::FromCp949(search::TrimTrailingBlanks(table_->FieldString(field)))
            .toStdString();
      };
      rows.push_back({table_->Recno(), text("ZIPCODE"), text("DDD"), text("ETC")});
      table_->Next();
    }
    return rows;
  }

  std::vector<Row> Lookup(lookup::PostalLookup& postal, const std::string& query) {
    lookup::SearchText search;
    std::vector<Row> rows;
    if (text_.MakeSearchText(query, &search) != lookup::QueryStatus::kReady) return rows;
    postal.Search(search.data(), 0, [&](const lookup::PostalRow& r) {
      rows.push_back(
          {r.recno, text_.ToUtf8(r.zipcode), text_.ToUtf8(r.ddd), text_.ToUtf8(r.address)});
    });
    return rows;
  }

  lookup::Cp949Text text_;
};

TEST_F(LookupMatchesWindow, EveryQueryGivesTheWindowsRows) {
  platform::RunFolders folders;
  folders.program = PF_BIN_DIR;  // the two run-time libraries
  folders.table = tables_.path();
  folders.index = work_.path();  // where the window built POSTCODE.FTS
  lookup::PostalLookup postal(folders);
  std::string error;
  ASSERT_TRUE(postal.OpenTable(&error)) << error;
  ASSERT_TRUE(postal.OpenIndex(nullptr, &error)) << error;
  EXPECT_FALSE(postal.Built()) << "the window's index answers for the table";

  std::string longQuery = "역삼";
  while (longQuery.size() < 600) longQuery += " 역삼1동";
  const std::vector<std::string> queries = {
      "역삼1동",
      "강남구 역삼1동",
      "역삼1동 강남구",
      "  역삼2동  ",
      "가나다",
      "가나 나다",
      "부산",
      "서울 부산",
      "없는말",
      "sk",
      "SK tower",
      "tower",
      "kal호텔",
      "1∼6",
      "∼",
      "135-08",
      "02",
      "세종 연기면",
      "역삼1동\t역삼",
      "😀",
      longQuery,
      "아파트 동",
  };
  int nonEmpty = 0;
  for (const std::string& q : queries) {
    const std::vector<Row> window = Window(q);
    EXPECT_EQ(Lookup(postal, q), window) << "query: " << q;
    nonEmpty += window.empty() ? 0 : 1;
  }
  EXPECT_GE(nonEmpty, 12) << "the queries must mostly find something";

  // The limit keeps the first rows in record order.
  std::vector<int> limited;
  lookup::SearchText search;
  ASSERT_EQ(text_.MakeSearchText("강남구", &search), lookup::QueryStatus::kReady);
  EXPECT_EQ(postal.Search(search.data(), 2,
                          [&](const lookup::PostalRow& r) { limited.push_back(r.recno); }),
            2);
  EXPECT_EQ(limited, (std::vector<int>{1, 2}));
}

TEST(LookupCp949, TheCLibrarysCp949IsTheWindowsOneForTheWholeNationalList) {
  std::ifstream in(std::string(PF_SOURCE_DIR) + "/data/source/zipcode.csv", std::ios::binary);
  ASSERT_TRUE(in);
  lookup::Cp949Text text;
  std::string line;
  int lines = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const QByteArray bytes = QByteArray::fromStdString(line);
    const std::string qt = platform::FromCp949(bytes).toStdString();
    ASSERT_EQ(text.ToUtf8(line), qt) << "line " << lines + 1;
    lookup::SearchText search;
    ASSERT_EQ(text.MakeSearchText(qt, &search), lookup::QueryStatus::kReady);
    ASSERT_EQ(std::string(search.data()), line.substr(0, 255)) << "line " << lines + 1;
    ++lines;
  }
  EXPECT_GT(lines, 50000);
}

}  // namespace
