// The search text made from what was typed: converted whole to CP949, cut
// at a zero byte, blanks kept unless the text is too long, refusals for text
// that is no UTF-8, has no CP949 form, or does not fit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Cp949Codec.h"
#include "postal/ProvinceNames.h"
#include "postal/SearchText.h"

namespace {

using postal::TextStatus;

TEST(SearchText, IsFilledWithTheTypedTextInCp949) {
  postal::SearchText search;
  ASSERT_EQ(postal::MakeSearchText(" 가 a∼ ", &search), TextStatus::kReady);
  EXPECT_STREQ(search.data(), " \xB0\xA1 a\xA1\xAD ") << "blanks around the words stay";

  EXPECT_EQ(postal::MakeSearchText(" \t ", &search), TextStatus::kBlank);
  EXPECT_STREQ(search.data(), " \t ") << "a blank text is still the text";
  EXPECT_EQ(postal::MakeSearchText("", &search), TextStatus::kBlank);
  EXPECT_EQ(postal::MakeSearchText("\xB0\xA1", &search), TextStatus::kNotUtf8);
  EXPECT_EQ(postal::MakeSearchText("가 😀", &search), TextStatus::kNotCp949);
  EXPECT_EQ(search[0], '\0') << "nothing to search on a refusal";
}

TEST(SearchText, EndsAtAZeroByteAndIsRefusedRatherThanCut) {
  postal::SearchText search;
  ASSERT_EQ(postal::MakeSearchText(std::string("가\0나", 7), &search), TextStatus::kReady);
  EXPECT_STREQ(search.data(), "\xB0\xA1");
  EXPECT_EQ(postal::MakeSearchText(std::string("\0가", 4), &search), TextStatus::kBlank);

  std::string longQuery = "a";
  for (int i = 0; i < 127; ++i) longQuery += "가";  // 255 bytes in CP949
  ASSERT_EQ(postal::MakeSearchText("   " + longQuery + "  ", &search), TextStatus::kReady);
  EXPECT_EQ(std::string(search.data()).size(), 255u) << "the outer blanks give way";
  EXPECT_EQ(search[255], '\0');
  ASSERT_EQ(postal::MakeSearchText(longQuery, &search), TextStatus::kReady);
  EXPECT_EQ(postal::MakeSearchText(longQuery + "b", &search), TextStatus::kTooLong);
  EXPECT_EQ(search[0], '\0');
}

TEST(SearchText, TrimmingTakesSpacesAndControlCharacters) {
  EXPECT_EQ(postal::TrimBlanks(" \t가 나\r\n"), "가 나");
  EXPECT_EQ(postal::TrimTrailingBlanks("  가  "), "  가");
  EXPECT_TRUE(postal::IsBlankText(" \x01\x1F "));
  EXPECT_FALSE(postal::IsBlankText(" . "));
}

}  // namespace

TEST(ProvinceNames, EveryFormNamesTheOfficialNameAndTheOtherForms) {
  const auto cp = [](const char* utf8) { return platform::Cp949FromUtf8(utf8); };
  for (const char* form : {"강원", "강원도", "강원특별자치도"})
    EXPECT_EQ(postal::OfficialProvinceName(cp(form)), cp("강원특별자치도")) << form;
  EXPECT_EQ(postal::OfficialProvinceName(cp("서울시")), cp("서울특별시"));
  EXPECT_EQ(postal::OfficialProvinceName(cp("경기")), cp("경기도"));
  EXPECT_EQ(postal::OfficialProvinceName(cp("광주시")), "") << "a city of 경기도";
  EXPECT_EQ(postal::OtherProvinceForms(cp("전라북도")),
            (std::vector<std::string>{cp("전북"), cp("전북특별자치도")}));
}
