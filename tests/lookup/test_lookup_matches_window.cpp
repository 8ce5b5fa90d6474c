// postcode-lookup gives exactly the rows the window gives: the window's
// search run and the command line's search (the core's PostalSearch, as
// postcode-lookup runs it) over the same table and the same index (built by
// the window), query by query, record numbers and texts. Over the national
// table and over a table imported from range files, with several hundred
// queries made from the tables' own rows: words, words joined without their
// blank, words in the other order, initial consonants, numbers and codes.
#include <QFile>
#include <algorithm>
#include <random>
#include <sstream>

#include "RangeImport.h"
#include "platform/Cp949.h"
#include "platform/Cp949Codec.h"
#include "postal/PostalSearch.h"
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

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// The initial consonants of a word's Hangul syllables (the rest kept).
std::string InitialConsonants(const std::string& word) {
  static const char16_t kInitials[19] = {0x3131, 0x3132, 0x3134, 0x3137, 0x3138, 0x3139, 0x3141,
                                         0x3142, 0x3143, 0x3145, 0x3146, 0x3147, 0x3148, 0x3149,
                                         0x314A, 0x314B, 0x314C, 0x314D, 0x314E};
  QString out;
  for (const QChar c : QString::fromStdString(word)) {
    const char16_t u = c.unicode();
    out += (u >= 0xAC00 && u <= 0xD7A3) ? QChar(kInitials[(u - 0xAC00) / 588]) : c;
  }
  return out.toStdString();
}

// Queries made from the rows of a table, every stride-th row.
std::vector<std::string> QueriesFrom(const std::vector<Row>& rows, size_t stride) {
  std::vector<std::string> queries;
  std::mt19937 random(7);
  for (size_t i = 0; i < rows.size(); i += stride) {
    const Row& r = rows[i];
    const std::vector<std::string> w = Words(r.address);
    if (w.empty()) continue;
    const std::string& last = w.back();
    queries.push_back(last);
    queries.push_back(InitialConsonants(last));
    queries.push_back(r.zipcode.substr(0, std::min<size_t>(r.zipcode.size(), 5)));
    if (w.size() >= 3) {
      queries.push_back(w[1] + w[2]);        // joined without the blank
      queries.push_back(w[2] + " " + w[1]);  // the other order
      queries.push_back(w[0] + " " + InitialConsonants(w[2]));
    }
    for (const std::string& word : w)  // a number of the address
      if (std::any_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        queries.push_back(word);
        break;
      }
    queries.push_back(w[random() % w.size()] + " " + r.ddd);
  }
  return queries;
}

class LookupMatchesWindow : public searchtest::PostalFixture {
 protected:
  void TearDown() override {
    lookup_.reset();
    PostalFixture::TearDown();
  }

  // Opens the table of tables_ in the window (building the index) and with
  // the command line's search on the window's index.
  void OpenBoth() {
    Open();
    CheckBoxMsg->setChecked(false);
    messages.Clear();
    platform::RunFolders folders;
    folders.program = PF_BIN_DIR;  // the two run-time libraries
    folders.table = tables_.path();
    folders.index = work_.path();  // where the window built POSTCODE.FTS
    lookup_ = std::make_unique<postal::PostalSearch>(folders);
    std::string error;
    ASSERT_TRUE(lookup_->OpenTable(&error)) << error;
    ASSERT_TRUE(lookup_->OpenIndex(nullptr, &error)) << error;
    EXPECT_FALSE(lookup_->Built()) << "the window's index answers for the table";
  }

  std::string Text(const char* field) {
    return platform::FromCp949(search::TrimTrailingBlanks(table_->FieldString(field)))
        .toStdString();
  }

  // The rows the grid shows after Return, none when nothing matched.
  std::vector<Row> Window(const std::string& query) {
    edSearch->setText(QString::fromStdString(query));
    std::vector<Row> rows;
    if (search::RunSearch(parts) == 0) return rows;  // the grid shows all: nothing matched
    table_->First();
    while (!table_->Eof()) {
      rows.push_back({table_->Recno(), Text("ZIPCODE"), Text("DDD"), Text("ETC")});
      table_->Next();
    }
    return rows;
  }

  // The command line's rows in table order (it gives the best first).
  std::vector<Row> Lookup(const std::string& query) {
    postal::SearchText search;
    std::vector<Row> rows;
    if (postal::MakeSearchText(query, &search) != postal::TextStatus::kReady) return rows;
    lookup_->Search(search, 0, [&](const postal::PostalRow& r) {
      rows.push_back({r.recno, platform::Utf8FromCp949(r.zipcode), platform::Utf8FromCp949(r.ddd),
                      platform::Utf8FromCp949(r.address)});
    });
    std::sort(rows.begin(), rows.end(),
              [](const Row& a, const Row& b) { return a.recno < b.recno; });
    return rows;
  }

  // Every record of the table, as the window reads it.
  std::vector<Row> AllRows() {
    std::vector<Row> rows;
    table_->First();
    while (!table_->Eof()) {
      rows.push_back({table_->Recno(), Text("ZIPCODE"), Text("DDD"), Text("ETC")});
      table_->Next();
    }
    return rows;
  }

  // Runs every query both ways; answers how many found something.
  int Compare(const std::vector<std::string>& queries) {
    int nonEmpty = 0;
    for (const std::string& q : queries) {
      const std::vector<Row> window = Window(q);
      EXPECT_EQ(Lookup(q), window) << "query: " << q;
      nonEmpty += window.empty() ? 0 : 1;
    }
    return nonEmpty;
  }

  std::unique_ptr<postal::PostalSearch> lookup_;
};

TEST_F(LookupMatchesWindow, EveryQueryGivesTheWindowsRowsOnTheNationalTable) {
  ASSERT_TRUE(QFile::copy(QStringLiteral(PF_BIN_DIR "/POSTCODE.DBF"),
                          QString::fromStdString(tables_.file("POSTCODE.DBF"))));
  OpenBoth();
  const std::vector<Row> rows = AllRows();
  ASSERT_GT(rows.size(), 50000u);
  std::vector<std::string> queries = QueriesFrom(rows, 337);
  std::string longQuery = "역삼";
  while (longQuery.size() < 600) longQuery += " 역삼1동";
  for (const char* q : {"역삼1동", "강남구 역삼1동", "역삼1동 강남구", "  역삼2동  ", "서울 부산",
                        "없는말", "sk", "SK tower", "kal호텔", "1∼6", "∼", "135-08", "02",
                        "세종 연기면", "역삼1동\t역삼", "😀", "아파트 동", "ㄱㅍ1ㄷ", "강남구역삼"})
    queries.push_back(q);
  queries.push_back(longQuery);
  ASSERT_GE(queries.size(), 300u);
  const int nonEmpty = Compare(queries);
  EXPECT_GE(nonEmpty, static_cast<int>(queries.size()) * 3 / 4)
      << "the queries must mostly find something";
}

TEST_F(LookupMatchesWindow, EveryQueryGivesTheWindowsRowsOnAnImportedTable) {
  // Range files in Korea Post's published layout, made up here: roads with
  // odd and even ranges, underground ranges and lots of the national list's
  // districts.
  std::string road =
      "우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면명|읍면명(영문)|도로명|도로명(영문)"
      "|"
      "지하여부|건물번호본번(시작)|건물번호부번(시작)|건물번호본번(종료)|건물번호부번(종료)|"
      "범위종류\n";
  std::string lot =
      "우편번호|시도명|시도명(영문)|시군구명|시군구명(영문)|읍면동명|읍면동명(영문)|리명|산여부|"
      "행정동명|지번본번(시작)|지번부번(시작)|지번본번(종료)|지번부번(종료)\n";
  const char* const places[][3] = {
      {"서울특별시", "강남구", "역삼동"},    {"서울특별시", "중구", "명동2가"},
      {"부산광역시", "해운대구", "우동"},    {"강원특별자치도", "춘천시", "효자동"},
      {"경기도", "성남시 분당구", "정자동"}, {"세종특별자치시", "", "반곡동"}};
  const char* const roads[] = {"테헤란로", "중앙로",     "강남대로",
                               "해운대로", "한누리대로", "삼양로177길"};
  int zone = 6000;
  for (int i = 0; i < 240; ++i) {
    const auto& p = places[i % 6];
    const int start = 1 + (i * 7) % 300;
    road += std::to_string(10000 + zone++) + "|" + p[0] + "|X|" + p[1] + "|X|||" + roads[i % 6] +
            "|X|" + std::to_string(i % 5 == 0) + "|" + std::to_string(start) + "||" +
            std::to_string(start + 40 + i % 9) + "||" + std::to_string(1 + i % 3) + "\n";
    if (i % 2 == 0)
      lot += std::to_string(10000 + zone++) + "|" + p[0] + "|X|" + p[1] + "|X|" + p[2] + "|X||" +
             std::to_string(i % 7 == 0) + "||" + std::to_string(start) + "||" +
             std::to_string(start + 100) + "|\n";
  }
  std::string error;
  const auto image =
      postal::ImportRangeFiles({{"road.txt", road}, {"lot.txt", lot}}, {2025, 10, 28}, &error);
  ASSERT_TRUE(image.has_value()) << error;
  ASSERT_TRUE(platform::WriteFileAtomically(tables_.file("POSTCODE.DBF"), *image, &error)) << error;
  OpenBoth();
  const std::vector<Row> rows = AllRows();
  ASSERT_EQ(rows.size(), 360u);
  std::vector<std::string> queries = QueriesFrom(rows, 1);
  for (const char* q :
       {"테헤란로 짝수", "지하", "홀수", "산", "ㅌㅎㄹㄹ", "서울특별시강남구", "177길"})
    queries.push_back(q);
  ASSERT_GE(queries.size(), 300u);
  const int nonEmpty = Compare(queries);
  EXPECT_GE(nonEmpty, static_cast<int>(queries.size()) * 3 / 4);
}

}  // namespace
