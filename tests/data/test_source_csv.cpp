// Parsing and checking of the postal-code list.
#include <gtest/gtest.h>

#include "SourceCsv.h"
#include "SourceText.h"

using postal::ConvertError;
using postal::ParseSourceCsv;

namespace {

// The error of a source that must be rejected.
ConvertError Rejected(const std::string& bytes) {
  ConvertError e;
  EXPECT_FALSE(ParseSourceCsv(bytes, &e).has_value());
  return e;
}

}  // namespace

TEST(SourceCsv, RowsComeBackInSeqOrderWithTheirFields) {
  const std::string csv = SourceCsv({
      "135-807,서울,강남구,개포1동 우성3차아파트,(1∼6동),2",
      "339-700,세종,,조치원읍,,3",
      "135-806,서울,강남구,개포1동 경남아파트,,1",
  });
  ConvertError e;
  auto rows = ParseSourceCsv(csv, &e);
  ASSERT_TRUE(rows.has_value()) << e.line << " " << e.reason;
  ASSERT_EQ(rows->size(), 3u);
  EXPECT_EQ((*rows)[0].seq, 1);
  EXPECT_EQ((*rows)[0].line, 4);
  EXPECT_EQ((*rows)[0].dong, K("개포1동 경남아파트"));
  EXPECT_EQ((*rows)[0].bunji, "");
  EXPECT_EQ((*rows)[1].zipcode, "135-807");
  EXPECT_EQ((*rows)[1].bunji, K("(1∼6동)"));
  EXPECT_EQ((*rows)[2].sido, K("세종"));
  EXPECT_EQ((*rows)[2].gugun, "");
}

TEST(SourceCsv, LineEndsMayBeLfAndTheLastMayBeMissing) {
  const std::string csv = "ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ\n" +
                          K("135-806,서울,강남구,개포1동,,1\n135-807,서울,강남구,개포2동,,2");
  auto rows = ParseSourceCsv(csv, nullptr);
  ASSERT_TRUE(rows.has_value());
  EXPECT_EQ(rows->size(), 2u);
  EXPECT_EQ((*rows)[1].dong, K("개포2동"));
}

TEST(SourceCsv, HeaderOnlyIsAnEmptyList) {
  auto rows = ParseSourceCsv("ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ\r\n", nullptr);
  ASSERT_TRUE(rows.has_value());
  EXPECT_TRUE(rows->empty());
}

TEST(SourceCsv, RejectsAMissingOrForeignHeader) {
  EXPECT_EQ(Rejected("").line, 1);
  EXPECT_EQ(Rejected("ZIPCODE,SIDO,GUGUN,DONG,SEQ\r\n").line, 1);
  // A UTF-8 byte-order mark means the file is not the CP949 list.
  EXPECT_EQ(Rejected("\xEF\xBB\xBFZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ\r\n").line, 1);
}

TEST(SourceCsv, RejectsAWrongFieldCountWithItsLine) {
  ConvertError e =
      Rejected(SourceCsv({"135-806,서울,강남구,개포1동,,1", "135-807,서울,강남구,,2"}));
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.reason.find("6 fields"), std::string::npos) << e.reason;
  e = Rejected(SourceCsv({"135-806,서울,강남구,개포1동,,1,x"}));
  EXPECT_EQ(e.line, 2);
}

TEST(SourceCsv, RejectsBadFieldValues) {
  struct Case {
    const char* row;
    const char* inReason;
  } cases[] = {
      {"135806,서울,강남구,개포1동,,1", "ZIPCODE"},
      {"135-80a,서울,강남구,개포1동,,1", "ZIPCODE"},
      {"135-806,서울특별시,강남구,개포1동,,1", "SIDO"},
      {"135-806,서울,,개포1동,,1", "GUGUN"},
      {"135-806,서울,강남구,,,1", "DONG"},
      {"135-806,서울,강남구,개포1동,,0", "SEQ"},
      {"135-806,서울,강남구,개포1동,,01", "SEQ"},
      {"135-806,서울,강남구,개포1동,,x", "SEQ"},
      {"135-806,서울,강남구,개포1동,,", "SEQ"},
      {"135-806,서울,강남구,개포1동,,-0", "SEQ"},
      {"135-806,서울,강남구,개포1동,,-5", "SEQ"},
      {"135-806,서울,강남구,개포1동,,+1", "SEQ"},
      {"135-806,서울,강남구,개포1동,,1e3", "SEQ"},
      {"135-806,서울,강남구, 개포1동,,1", "blank"},
      {"135-806,서울,강남구,개포1동  아파트,,1", "blanks"},
      {"135-806,서울,강남구,\"개포1동\",,1", "quote"},
  };
  for (const Case& c : cases) {
    ConvertError e = Rejected(SourceCsv({c.row}));
    EXPECT_EQ(e.line, 2) << c.row;
    EXPECT_NE(e.reason.find(c.inReason), std::string::npos) << c.row << ": " << e.reason;
  }
}

TEST(SourceCsv, RejectsInvalidCp949Bytes) {
  const std::string good = K("135-806,서울,강남구,개포1동,,1\r\n");
  const char* badDongs[] = {
      "\x80\x41",  // 0x80 starts no character
      "\xB0",      // lead byte cut short by the comma after it
      "\xA2\xE8",  // within the ranges, but no character
      "\xB0\x20",  // trail byte out of range
      "a\tb",      // control character
      "\xFF",
  };
  for (const char* dong : badDongs) {
    const std::string csv = "ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ\r\n" + good + "135-807," +
                            K("서울") + "," + K("강남구") + "," + dong + ",,2\r\n";
    ConvertError e = Rejected(csv);
    EXPECT_EQ(e.line, 3);
    EXPECT_NE(e.reason.find("DONG"), std::string::npos) << e.reason;
  }
  // The same checks hold for every text field.
  ConvertError e = Rejected(std::string("ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ\r\n") + good +
                            "135-807," + K("서울") + "," + K("강남구") + ",x,\xB0,2\r\n");
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.reason.find("BUNJI"), std::string::npos) << e.reason;
}

TEST(SourceCsv, RejectsEmptyLinesAndStrayCarriageReturns) {
  EXPECT_EQ(Rejected(SourceCsv({"135-806,서울,강남구,개포1동,,1", ""})).line, 3);
  EXPECT_EQ(
      Rejected("ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ\r\n" + K("135-806,서울,강남구,개\r포,,1")).line,
      2);
}

TEST(SourceCsv, RejectsDuplicateAndOutOfRangeSeq) {
  ConvertError e =
      Rejected(SourceCsv({"135-806,서울,강남구,개포1동,,1", "135-807,서울,강남구,개포2동,,1"}));
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.reason.find("line 2"), std::string::npos) << e.reason;
  // Two rows numbered 1 and 3: 3 is beyond the count, so a number is missing.
  e = Rejected(SourceCsv({"135-806,서울,강남구,개포1동,,1", "135-807,서울,강남구,개포2동,,3"}));
  EXPECT_EQ(e.line, 3);
  EXPECT_NE(e.reason.find("beyond"), std::string::npos) << e.reason;
}
