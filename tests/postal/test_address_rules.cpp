// The address rules as a user meets them, through the command line's search
// (postal::PostalSearch): on the national six-digit table, and on a table
// imported from range files in Korea Post's real layout (the column names
// are read from ../shared/data/real/, the rows are made up here after its
// real row).
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "CoreFixture.h"
#include "PostalImport.h"
#include "RangeImport.h"
#include "platform/Cp949Codec.h"
#include "postal/PostalSearch.h"

namespace {

namespace fs = std::filesystem;

// "ZIPCODE|ETC" of each row, best first.
using Rows = std::vector<std::string>;

class AddressRules : public ::testing::Test {
 protected:
  void OpenTable() {
    platform::RunFolders folders;
    folders.program = PF_BIN_DIR;
    folders.table = folder_.path();
    folders.index = folder_.path();
    search_ = std::make_unique<postal::PostalSearch>(folders);
    std::string error;
    ASSERT_TRUE(search_->OpenTable(&error)) << error;
    ASSERT_TRUE(search_->OpenIndex(nullptr, &error)) << error;
  }

  Rows Find(const std::string& query, long limit = 0) {
    postal::SearchText text;
    EXPECT_EQ(postal::MakeSearchText(query, &text), postal::TextStatus::kReady) << query;
    Rows rows;
    search_->Search(text, limit, [&](const postal::PostalRow& r) {
      rows.push_back(platform::Utf8FromCp949(r.zipcode) + "|" + platform::Utf8FromCp949(r.address));
    });
    return rows;
  }

  static bool Has(const Rows& rows, const std::string& row) {
    return std::find(rows.begin(), rows.end(), row) != rows.end();
  }

  coretest::TempFolder folder_;
  std::unique_ptr<postal::PostalSearch> search_;
};

class NationalTable : public AddressRules {
 protected:
  void SetUp() override {
    fs::copy_file(fs::path(PF_BIN_DIR) / "POSTCODE.DBF", fs::path(folder_.path()) / "POSTCODE.DBF");
    OpenTable();
  }
};

TEST_F(NationalTable, ANumberIsWholeAndFindsTheRangeThatHoldsIt) {
  // 25동 lies in (17∼40동); "25동" is no part of "125동".
  EXPECT_EQ(Find("개포1동 주공아파트 25동"),
            Rows{"135-805|서울 강남구 개포1동 주공아파트 (17∼40동)"});
  EXPECT_EQ(Find("개포1동 주공아파트 104동"),
            Rows{"135-805|서울 강남구 개포1동 주공아파트 (104∼125동)"});
  EXPECT_EQ(Find("명동2가 50"), Rows{"100-810|서울 중구 명동2가 34∼105"});
  EXPECT_EQ(Find("명동2가 33번지"), Rows{"100-809|서울 중구 명동2가 1∼33"}) << "번지 is a lot";
  EXPECT_EQ(Find("명동2가50"), Rows{"100-810|서울 중구 명동2가 34∼105"}) << "glued to its 가";
  // A mountain lot only in a 산 range, and the other way round.
  EXPECT_EQ(Find("황금2동 산120"), Rows{"706-853|대구 수성구 황금2동 산119∼122"});
  EXPECT_EQ(Find("황금2동 120"), Rows{"706-042|대구 수성구 황금2동"}) << "120 is no 산120";
  EXPECT_EQ(Find("황금2동 946"), Rows{"706-853|대구 수성구 황금2동 946"});
}

TEST_F(NationalTable, ANumberNoRowHoldsFindsThePlacesOwnRow) {
  EXPECT_EQ(Find("중구 명동2가 200"), Rows{"100-022|서울 중구 명동2가"});
  EXPECT_EQ(Find("역삼동 650"), Rows{"135-080|서울 강남구 역삼동"});
  // The 2 of 황금2동 is part of its name: the row with no number is its own.
  EXPECT_EQ(Find("황금2동 1000"), Rows{"706-042|대구 수성구 황금2동"});
}

TEST_F(NationalTable, FieldsAreSeparateTextsAndCodesAreWhole) {
  // 135-565 and 02 read "…56502" in the raw record: 650 is in neither.
  for (const std::string& row : Find("650")) EXPECT_EQ(row.find("아남타워"), std::string::npos);
  EXPECT_TRUE(Find("02서울").empty()) << "the dialling code and the address are two fields";
  EXPECT_TRUE(Find("08002").empty()) << "135-080 and 02 are two fields";
  EXPECT_EQ(Find("135080"), Rows{"135-080|서울 강남구 역삼동"});
  // A code typed digit by digit: the run that ends the text may go on.
  const Rows typing = Find("135-08");
  EXPECT_TRUE(Has(typing, "135-080|서울 강남구 역삼동"));
  EXPECT_TRUE(Find("135-08 ").empty()) << "a run followed by a blank is whole";
}

TEST_F(NationalTable, TheReferenceInBracketsNarrowsWhenRowsMatchIt) {
  const Rows narrowed = Find("강남구 개포1동 (주공아파트)");
  ASSERT_EQ(narrowed.size(), 5u);
  for (const std::string& row : narrowed) EXPECT_NE(row.find("주공아파트"), std::string::npos);
  EXPECT_EQ(Find("강남구 개포1동 (없는아파트, 없는동)"), Find("강남구 개포1동"))
      << "a reference that no row holds is left out";
}

TEST_F(NationalTable, AProvinceInAnyOfItsForms) {
  const Rows shortForm = Find("서울 강남구 역삼동");
  ASSERT_FALSE(shortForm.empty());
  EXPECT_EQ(Find("서울특별시 강남구 역삼동"), shortForm);
  EXPECT_EQ(Find("서울시 강남구 역삼동"), shortForm);
  EXPECT_FALSE(Find("강원도 춘천시").empty());
  EXPECT_EQ(Find("강원도 춘천시"), Find("강원 춘천시"));
  EXPECT_EQ(Find("전라북도 전주시"), Find("전북 전주시"));
  EXPECT_FALSE(Find("충청남도 천안시").empty());
  EXPECT_EQ(Find("충청남도 천안시"), Find("충남 천안시"));
  // 광주시 is a city of 경기도, not 광주광역시.
  for (const std::string& row : Find("광주시"))
    EXPECT_NE(row.find("경기"), std::string::npos) << row;
}

class RangeTable : public AddressRules {
 protected:
  void SetUp() override {
    const fs::path real = fs::path(PF_SOURCE_DIR) / ".." / "shared" / "data" / "real";
    std::ifstream road(real / "range_road_row.utf8.txt"), lot(real / "range_lot_header.utf8.txt");
    if (!road || !lot) GTEST_SKIP() << "no real range-file header in " << real;
    std::string roadHeader, lotHeader;
    std::getline(road, roadHeader);
    std::getline(lot, lotHeader);
    std::string realRow;
    std::getline(road, realRow);
    const std::string roads =
        roadHeader + "\n" + realRow + "\n" +
        "06236|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|101|0|151|0|1\n"
        "06237|서울특별시|Seoul|강남구|Gangnam-gu|||테헤란로|Teheran-ro|0|102|0|152|0|2\n"
        "24341|강원특별자치도|Gangwon-do|춘천시|Chuncheon-si|||중앙로|Jungang-ro|0|1|0|79|0|3\n"
        "24342|강원특별자치도|Gangwon-do|춘천시|Chuncheon-si|||중앙로|Jungang-ro|1|12|0|30|0|2\n";
    const std::string lots =
        lotHeader + "\n" +
        "06234|서울특별시|Seoul|강남구|Gangnam-gu|역삼동|Yeoksam-dong||0|역삼1동|601|0|720|0\n"
        "04537|서울특별시|Seoul|중구|Jung-gu|명동2가|Myeong-dong 2-ga||0|명동|34|0|105|0\n"
        "04538|서울특별시|Seoul|중구|Jung-gu|명동2가|Myeong-dong 2-ga||1|명동|1|0|30|0\n";
    std::string error;
    const auto image =
        postal::ImportRangeFiles({{"road.txt", roads}, {"lot.txt", lots}}, {2025, 10, 28}, &error);
    ASSERT_TRUE(image.has_value()) << error;
    ASSERT_TRUE(platform::WriteFileAtomically(folder_.file("POSTCODE.DBF"), *image, &error))
        << error;
    OpenTable();
  }
};

TEST_F(RangeTable, EveryAddressLiesInItsRange) {
  EXPECT_EQ(Find("테헤란로 130"), Rows{"06237|서울특별시 강남구 테헤란로 102∼152 (짝수)"});
  EXPECT_EQ(Find("테헤란로 131"), Rows{"06236|서울특별시 강남구 테헤란로 101∼151 (홀수)"});
  EXPECT_EQ(Find("테헤란로152"), Rows{"06237|서울특별시 강남구 테헤란로 102∼152 (짝수)"});
  EXPECT_TRUE(Find("테헤란로 15").empty()) << "15 lies in neither; 151 and 152 are bounds";
  EXPECT_EQ(Find("역삼동 650"), Rows{"06234|서울특별시 강남구 역삼동 601∼720 (역삼1동)"});
  EXPECT_EQ(Find("역삼동737-1").size(), 0u) << "737 lies in no range of 역삼동";
  EXPECT_EQ(Find("명동2가 산7"), Rows{"04538|서울특별시 중구 명동2가 산1∼30 (명동)"});
  EXPECT_EQ(Find("명동2가 7"), Rows{}) << "7 without 산 is in no 산 range, nor in 34∼105";
  // The envelope's form, with the reference in brackets that no row holds.
  EXPECT_EQ(Find("서울특별시 강남구 테헤란로 152 (역삼동)"),
            Rows{"06237|서울특별시 강남구 테헤란로 102∼152 (짝수)"});
  // 강원도 has been 강원특별자치도 since 2023; 20 is above ground.
  EXPECT_EQ(Find("강원도 춘천시 중앙로 20"), Rows{"24341|강원특별자치도 춘천시 중앙로 1∼79"});
  EXPECT_EQ(Find("중앙로 지하 20"), Rows{"24342|강원특별자치도 춘천시 중앙로 지하 12∼30 (짝수)"});
  EXPECT_EQ(Find("중앙로 지하20"), Find("중앙로 지하 20"));
}

// A record per building: three rows of the government's road-name layout
// (24 fields), invented here and written by hand.
class BuildingTable : public AddressRules {
 protected:
  void SetUp() override {
    const std::string rows =
        "36110101299990100181100000|3611010199|세종특별자치시||새빛동||0|47|1|361109999901|"
        "새빛대로|0|1811|0|3611059999|새빛동|30901||20200101|0|||새빛마을 상가동|\n"
        "36110101299990100182100000|3611010199|세종특별자치시||새빛동||0|46|1|361109999901|"
        "새빛대로|0|1821|0|3611059999|새빛동|30901||20200101|0|||새빛마을 상가동|\n"
        "36110101299990200001800000|3611010199|세종특별자치시||새빛동||0|308|0|361109999902|"
        "별빛연구로|0|18|0|3611059999|새빛동|30902||20200101|0|||별빛타워|\n";
    const std::string file = folder_.file("rnaddrkor_sejong.txt");
    std::ofstream(file, std::ios::binary) << platform::Cp949FromUtf8(rows);
    std::string error;
    ASSERT_TRUE(postal::ImportFiles({file}, folder_.file("POSTCODE.DBF"), {}, nullptr, &error))
        << error;
    OpenTable();
  }
};

TEST_F(BuildingTable, ABuildingsOwnNumberIsMetAsWrittenAndWhileItIsTyped) {
  const std::string b1811 = "30901|세종특별자치시 새빛대로 1811 (새빛동, 새빛마을 상가동)";
  const std::string b1821 = "30901|세종특별자치시 새빛대로 1821 (새빛동, 새빛마을 상가동)";
  const std::string b18 = "30902|세종특별자치시 별빛연구로 18 (새빛동, 별빛타워)";
  EXPECT_EQ(Find("새빛대로 1811"), Rows{b1811});
  EXPECT_EQ(Find("새빛대로 18"), (Rows{b1811, b1821})) << "18 typed on the way to 1811";
  EXPECT_EQ(Find("새빛대로 182"), Rows{b1821});
  EXPECT_EQ(Find("새빛동 18"), (Rows{b1811, b1821, b18}));
  EXPECT_EQ(Find("새빛동 18 (별빛타워)"), Rows{b18}) << "a number before the reference is whole";
  EXPECT_EQ(Find("새빛동 47-1"), Rows{b1811}) << "the lot address";
  EXPECT_TRUE(Find("새빛대로 181 (새빛동)").empty());
}

}  // namespace
