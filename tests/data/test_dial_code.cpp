// Dialling codes by province, with the districts that dial through another area.
#include <gtest/gtest.h>

#include "DialCode.h"
#include "SourceCsv.h"
#include "SourceText.h"

namespace {

std::string Ddd(const char* sido, const char* gugun, const char* dong) {
  postal::SourceRow row;
  row.sido = K(sido);
  row.gugun = K(gugun);
  row.dong = K(dong);
  return postal::DialCodeFor(row);
}

}  // namespace

TEST(DialCode, EveryProvinceHasItsCode) {
  const char* const table[][2] = {
      {"서울", "02"},  {"경기", "031"}, {"인천", "032"}, {"강원", "033"}, {"충남", "041"},
      {"대전", "042"}, {"충북", "043"}, {"세종", "044"}, {"부산", "051"}, {"울산", "052"},
      {"대구", "053"}, {"경북", "054"}, {"경남", "055"}, {"전남", "061"}, {"광주", "062"},
      {"전북", "063"}, {"제주", "064"}};
  for (const auto& p : table) {
    EXPECT_TRUE(postal::IsKnownProvince(K(p[0]))) << p[0];
    EXPECT_EQ(Ddd(p[0], "가나시", "다동"), p[1]) << p[0];
  }
  EXPECT_FALSE(postal::IsKnownProvince(K("서울특별시")));
  EXPECT_FALSE(postal::IsKnownProvince(""));
}

TEST(DialCode, DistrictsThatDialThroughANeighbour) {
  EXPECT_EQ(Ddd("경기", "광명시", "철산동"), "02");
  EXPECT_EQ(Ddd("경기", "과천시", "중앙동"), "02");
  EXPECT_EQ(Ddd("경기", "부천시 원미구", "중동"), "032");
  EXPECT_EQ(Ddd("경기", "부천시 소사구", "송내동"), "032");
  EXPECT_EQ(Ddd("경기", "부천시 오정구", "오정동"), "032");
  EXPECT_EQ(Ddd("충남", "계룡시", "엄사면"), "042");
  EXPECT_EQ(Ddd("경북", "경산시", "압량면"), "053");
}

TEST(DialCode, OnlyTheThreeIslandsOfDanwonGu) {
  EXPECT_EQ(Ddd("경기", "안산시 단원구", "대부남동"), "032");
  EXPECT_EQ(Ddd("경기", "안산시 단원구", "대부동동"), "032");
  EXPECT_EQ(Ddd("경기", "안산시 단원구", "대부북동 어촌계"), "032");
  EXPECT_EQ(Ddd("경기", "안산시 단원구", "고잔동"), "031");
  EXPECT_EQ(Ddd("경기", "안산시 상록구", "대부남동"), "031");
}

TEST(DialCode, ANameThatOnlyBeginsLikeAnExceptionIsNotOne) {
  // Whole words only: 부천시 does not cover a district named 부천시장 (none exists,
  // but the rule must not depend on that), and 계룡시 of 충남 not another province's.
  EXPECT_EQ(Ddd("경기", "부천시장", "가동"), "031");
  EXPECT_EQ(Ddd("경북", "계룡시", "가동"), "054");
  EXPECT_EQ(Ddd("충남", "경산시", "가동"), "041");
}
