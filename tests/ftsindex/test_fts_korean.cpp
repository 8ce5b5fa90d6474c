// Initial consonants over every character of CP949: one record per
// double-byte character, and for each of the 19 consonants the index and
// FtsVerify must name exactly the syllables of that initial (as iconv decodes
// them) and the jamo itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "FtsTestSupport.h"
#include "UnicodeText.h"

using ftstest::Candidates;
using ftstest::Chars;
using ftstest::TempDir;

namespace {

struct CharRecord {
  std::string record;  // " " + the character
  char32_t unicode;
};

std::vector<CharRecord> EveryDoubleByteCharacter() {
  std::vector<CharRecord> out;
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x41; trail <= 0xFE; ++trail) {
      const std::string c{static_cast<char>(lead), static_cast<char>(trail)};
      Chars u;
      if (!ftstest::DecodeCp949(c, u) || u.size() != 1) continue;
      out.push_back({" " + c, u[0]});
    }
  return out;
}

TEST(FtsKorean, EachInitialConsonantNamesExactlyItsSyllables) {
  const auto chars = EveryDoubleByteCharacter();
  const size_t syllables =
      static_cast<size_t>(std::count_if(chars.begin(), chars.end(), [](const CharRecord& c) {
        return ftstest::IsSyllable(c.unicode);
      }));
  ASSERT_EQ(11172u, syllables);  // 2,350 of KS X 1001 and 8,822 of CP949's extension
  TempDir dir;
  const std::string path = dir.File("k.fts");
  std::vector<std::string> records;
  for (const auto& c : chars) records.push_back(c.record);
  ASSERT_EQ(0, ftstest::BuildIndex(path, records));
  const int32_t h = FtsOpen(path.c_str(), 20, 1);
  ASSERT_GT(h, 0);
  for (char32_t jamo : ftstest::kInitialJamo) {
    const std::string text = ftstest::EncodeCp949(Chars(1, jamo));
    std::vector<int32_t> expected;
    for (size_t i = 0; i < chars.size(); ++i) {
      const char32_t u = chars[i].unicode;
      if (u == jamo || (ftstest::IsSyllable(u) && ftstest::InitialJamoOf(u) == jamo))
        expected.push_back(static_cast<int32_t>(i + 1));
    }
    ASSERT_GT(FtsSet(h, text.c_str()), 0);
    EXPECT_EQ(1, FtsProven(h));
    EXPECT_EQ(expected, Candidates(h)) << text;
    std::vector<int32_t> verified;
    for (size_t i = 0; i < chars.size(); ++i)
      if (FtsVerify(h, chars[i].record.c_str(), text.c_str(), 3) == 1)
        verified.push_back(static_cast<int32_t>(i + 1));
    EXPECT_EQ(expected, verified) << text;
  }
  // Jamo that cannot begin a syllable, and vowels, stand for themselves.
  for (char32_t jamo : {U'ㄳ', U'ㄺ', U'ㅄ', U'ㅏ', U'ㅢ'}) {
    const std::string text = ftstest::EncodeCp949(Chars(1, jamo));
    ASSERT_EQ(1, FtsSet(h, text.c_str()));
    const int32_t only = Candidates(h).at(0);
    EXPECT_EQ(jamo, chars[static_cast<size_t>(only - 1)].unicode);
  }
  FtsClose(h);
}

}  // namespace
