// The project's CP949 codec against the C library's converter opened here on
// its own: every character of the code page both ways, the characters the
// tables use for ranges, and the window's QString road through it.
#include <gtest/gtest.h>
#include <iconv.h>

#include <QString>
#include <string>

#include "platform/Cp949.h"
#include "platform/Cp949Codec.h"

namespace {

// iconv from one encoding to another; nothing when it does not convert whole.
std::optional<std::string> Convert(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(in.size() * 4 + 8, '\0');
  char* inp = const_cast<char*>(in.data());
  char* outp = out.data();
  size_t inLeft = in.size(), outLeft = out.size();
  const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

TEST(Cp949Codec, EveryCharacterBothWaysAsTheCLibraryConvertsIt) {
  int characters = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x41; trail <= 0xFE; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      const auto utf8 = Convert("UTF-8", "CP949", pair);
      EXPECT_EQ(platform::Cp949Assigned(static_cast<uint8_t>(lead), static_cast<uint8_t>(trail)),
                utf8.has_value())
          << std::hex << lead << trail;
      if (!utf8) {
        EXPECT_FALSE(platform::Utf8FromCp949Strict(pair).has_value());
        continue;
      }
      ++characters;
      ASSERT_EQ(platform::Utf8FromCp949(pair), *utf8) << std::hex << lead << trail;
      ASSERT_EQ(platform::Utf8FromCp949Strict(pair), *utf8);
      ASSERT_EQ(platform::Cp949FromUtf8(*utf8), *Convert("CP949", "UTF-8", *utf8));
      ASSERT_EQ(platform::FromCp949(QByteArray::fromStdString(pair)).toStdString(), *utf8);
    }
  }
  // KS X 1001's 8,224 characters and the 8,822 syllables CP949 adds.
  EXPECT_GE(characters, 17000);
  for (int b = 0x20; b < 0x80; ++b) {
    const std::string ascii(1, static_cast<char>(b));
    EXPECT_EQ(platform::Utf8FromCp949(ascii), ascii);
    EXPECT_EQ(platform::Cp949Code(static_cast<char32_t>(b)), b);
  }
}

TEST(Cp949Codec, TheRangeSignAndTheWordsOfTheTablesRoundTrip) {
  // U+223C TILDE OPERATOR is how the tables write a range ("1∼6동").
  EXPECT_EQ(platform::Cp949FromUtf8("∼"), "\xA1\xAD");
  EXPECT_EQ(platform::Utf8FromCp949("\xA1\xAD"), "∼");
  EXPECT_EQ(platform::Cp949Code(U'\u223C'), 0xA1AD);
  const std::string words = "서울 강남구 역삼1동 (1∼6동) 똠방각하 ㄱㅍ";
  EXPECT_EQ(platform::Utf8FromCp949(platform::Cp949FromUtf8(words)), words);
  bool ok = false;
  EXPECT_EQ(platform::FromCp949(platform::ToCp949(QString::fromStdString(words), &ok)),
            QString::fromStdString(words));
  EXPECT_TRUE(ok);
}

TEST(Cp949Codec, WhatIsNoCharacterIsToldAndNeverCrossesOver) {
  std::string out = "x";
  EXPECT_EQ(platform::EncodeCp949("가😀", &out), platform::Cp949Encoding::kNotCp949);
  EXPECT_EQ(out, "");
  EXPECT_EQ(platform::EncodeCp949("\xB0\xA1", &out), platform::Cp949Encoding::kNotUtf8);
  EXPECT_EQ(platform::Utf8FromCp949("a\xFF"
                                    "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(platform::Utf8FromCp949("a\xB0"), "a\xEF\xBF\xBD") << "a lead byte at the end";
  EXPECT_EQ(platform::Utf8FromCp949("\xC9\xA1!", platform::Cp949Invalid::kEscape), "\\xC9\\xA1!");
  EXPECT_FALSE(platform::Utf8FromCp949Strict("a\xB0").has_value());
  EXPECT_EQ(platform::Utf8FromCp949(std::string(3000, 'x')).size(), 3000u)
      << "longer than one chunk";

  EXPECT_EQ(platform::FirstInvalidUtf8("강남구 abc"), std::string::npos);
  EXPECT_EQ(platform::FirstInvalidUtf8("ab\xC0\x80"), 2u);        // overlong
  EXPECT_EQ(platform::FirstInvalidUtf8("\xED\xA0\x80"), 0u);      // surrogate
  EXPECT_EQ(platform::FirstInvalidUtf8("\xF4\x90\x80\x80"), 0u);  // above U+10FFFF
  EXPECT_EQ(platform::FirstInvalidUtf8("a\xEA\xB0"), 1u);         // cut short

  bool ok = true;
  EXPECT_TRUE(platform::ToCp949(QString(QChar(0xD800)) + QStringLiteral("가"), &ok).isEmpty());
  EXPECT_FALSE(ok) << "a lone surrogate is no character";
  EXPECT_TRUE(platform::ToCp949(QStringLiteral("가😀"), &ok).isEmpty());
  EXPECT_FALSE(ok);
}

}  // namespace
