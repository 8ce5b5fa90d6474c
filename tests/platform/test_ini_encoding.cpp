// Settings files written by other editors: a CAPTION typed in CP949 on Korean
// Windows is read as such, and MSG written back keeps the file CP949 with
// every other line byte for byte. The CP949 bytes come from glibc's iconv, not
// from the program's own codec.
#include <gtest/gtest.h>
#include <iconv.h>

#include <QFile>
#include <QTemporaryDir>

#include "IniFolder.h"
#include "platform/IniFile.h"
#include "platform/IniText.h"

namespace {

using platform::ReadProfileString;
using platform::WriteProfileString;

QByteArray Iconv(const char* to, const QByteArray& utf8) {
  iconv_t cd = iconv_open(to, "UTF-8");
  QByteArray out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.constData());
  size_t inLeft = static_cast<size_t>(utf8.size()), outLeft = static_cast<size_t>(out.size());
  char* o = out.data();
  const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  EXPECT_NE(r, static_cast<size_t>(-1)) << utf8.constData();
  out.resize(out.size() - static_cast<qsizetype>(outLeft));
  return out;
}

class IniEncoding : public IniFolder {};

TEST_F(IniEncoding, ACp949CaptionIsReadAndMsgWrittenBackKeepsTheFileCp949) {
  const QString caption = QStringLiteral("우편번호 찾기 ∼ 가나다");  // ∼ is A1 AD in CP949
  const QByteArray before = Iconv(
      "CP949",
      QStringLiteral("; 설정 파일\r\n[QORVA]\r\nCAPTION=%1\r\nMSG=Y\r\n").arg(caption).toUtf8());
  ASSERT_FALSE(QString::fromUtf8(before).toUtf8() == before) << "not UTF-8 by accident";
  Put(before);
  EXPECT_EQ(ReadProfileString(Path(), "QORVA", "CAPTION", "DEF"), caption);
  EXPECT_EQ(ReadProfileString(Path(), "QORVA", "MSG", "DEF"), "Y");

  ASSERT_TRUE(WriteProfileString(Path(), "QORVA", "MSG", "N"));
  QByteArray expected = before;
  expected.replace("MSG=Y", "MSG=N");
  EXPECT_EQ(Get(), expected) << "only MSG changed, the rest byte for byte, still CP949";
  EXPECT_EQ(ReadProfileString(Path(), "QORVA", "CAPTION", "DEF"), caption);

  // A new Korean value is written in the file's own encoding.
  ASSERT_TRUE(WriteProfileString(Path(), "QORVA", "NOTE", QStringLiteral("한글")));
  EXPECT_TRUE(Get().contains(Iconv("CP949", "NOTE=한글")));
  EXPECT_EQ(ReadProfileString(Path(), "QORVA", "NOTE", "DEF"), QStringLiteral("한글"));
  // A character CP949 lacks cannot go into it: refused, the file unchanged.
  const QByteArray kept = Get();
  EXPECT_FALSE(WriteProfileString(Path(), "QORVA", "NOTE", QStringLiteral("😀")));
  EXPECT_EQ(Get(), kept);
}

TEST_F(IniEncoding, Utf8StaysUtf8AndNeitherEncodingIsLeftAlone) {
  const QByteArray utf8("[QORVA]\nCAPTION=\xEC\x9A\xB0\xED\x8E\xB8\nMSG=Y\n");  // 우편
  Put(utf8);
  EXPECT_EQ(ReadProfileString(Path(), "QORVA", "CAPTION", "DEF"), QStringLiteral("우편"));
  ASSERT_TRUE(WriteProfileString(Path(), "QORVA", "MSG", "N"));
  EXPECT_EQ(Get(), QByteArray("[QORVA]\nCAPTION=\xEC\x9A\xB0\xED\x8E\xB8\nMSG=N\n"));

  // A lead byte cut off at the end, and bytes no Korean code page has.
  for (const QByteArray& bad : {QByteArray("[QORVA]\nMSG=Y\nCAPTION=\xB0"),
                                QByteArray("[QORVA]\nMSG=Y\nCAPTION=\xB0\x20\xB0")}) {
    Put(bad);
    EXPECT_EQ(ReadProfileString(Path(), "QORVA", "MSG", "DEF"), "DEF");
    EXPECT_FALSE(WriteProfileString(Path(), "QORVA", "MSG", "N"));
    EXPECT_EQ(Get(), bad);
  }
}

TEST(IniText, DecodedTextEncodesBackToTheSameBytes) {
  for (const QByteArray& bytes :
       {QByteArray(""), QByteArray("\n"), QByteArray("a"), QByteArray("[S]\r\nK=V\r\n\r\n; c\r\n"),
        QByteArray("\xEF\xBB\xBF[S]\nK=\xEA\xB0\x80\n"), Iconv("CP949", "[가]\nK=나\nx\n")}) {
    const auto text = platform::DecodeIni(bytes);
    ASSERT_TRUE(text.has_value()) << bytes.toHex().constData();
    const auto back = platform::EncodeIni(*text);
    ASSERT_TRUE(back.has_value());
    QByteArray expected = bytes;
    if (!expected.isEmpty() && !expected.endsWith('\n')) expected += '\n';
    EXPECT_EQ(*back, expected) << bytes.toHex().constData();
  }
}

}  // namespace
