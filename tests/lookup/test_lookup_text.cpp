// The pieces of postcode-lookup that need no table: its command line, the
// search text made from a UTF-8 query, and the three output formats.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lookup/Options.h"
#include "lookup/QueryText.h"
#include "lookup/RowWriter.h"

namespace {

using lookup::LookupOptions;
using lookup::OutputFormat;
using lookup::QueryStatus;

bool Parse(std::vector<const char*> args, LookupOptions* o, std::string* error) {
  args.insert(args.begin(), "postcode-lookup");
  return lookup::ParseArguments(static_cast<int>(args.size()), args.data(), o, error);
}

TEST(LookupOptions, WordsFormatsLimitAndBatch) {
  LookupOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"--csv", "강남구", "--limit", "3", "역삼동"}, &o, &error)) << error;
  EXPECT_EQ(o.format, OutputFormat::kCsv);
  EXPECT_EQ(o.limit, 3);
  EXPECT_EQ(o.words, "강남구 역삼동");
  EXPECT_FALSE(o.batch);

  ASSERT_TRUE(Parse({"--json", "--limit=10", "-"}, &o, &error)) << error;
  EXPECT_EQ(o.format, OutputFormat::kJson);
  EXPECT_EQ(o.limit, 10);
  EXPECT_TRUE(o.batch);

  ASSERT_TRUE(Parse({"--", "--tsv", "-"}, &o, &error)) << error;
  EXPECT_EQ(o.words, "--tsv -") << "after -- everything is a word";
  EXPECT_FALSE(o.batch);

  ASSERT_TRUE(Parse({"--version"}, &o, &error));
  EXPECT_TRUE(o.version);
}

TEST(LookupOptions, BadCommandLinesAreRefusedWithAReason) {
  LookupOptions o;
  std::string error;
  const std::vector<std::vector<const char*>> bad = {
      {},
      {"--tsv"},
      {"--limit", "0", "x"},
      {"--limit", "-2", "x"},
      {"--limit", "3x", "x"},
      {"--limit"},
      {"--xml", "x"},
      {"-", "x"},
  };
  for (const auto& args : bad) {
    error.clear();
    EXPECT_FALSE(Parse(args, &o, &error)) << (args.empty() ? "(none)" : args[0]);
    EXPECT_FALSE(error.empty());
  }
}

TEST(LookupQueryText, Utf8IsCheckedStrictly) {
  EXPECT_EQ(lookup::FirstInvalidUtf8("강남구 abc"), std::string::npos);
  EXPECT_EQ(lookup::FirstInvalidUtf8("ab\xC0\x80"), 2u);        // overlong
  EXPECT_EQ(lookup::FirstInvalidUtf8("\xED\xA0\x80"), 0u);      // surrogate
  EXPECT_EQ(lookup::FirstInvalidUtf8("\xF4\x90\x80\x80"), 0u);  // above U+10FFFF
  EXPECT_EQ(lookup::FirstInvalidUtf8("a\xEA\xB0"), 1u);         // cut short
  EXPECT_EQ(lookup::FirstInvalidUtf8("\xB0\xA1"), 0u);          // CP949 bytes
}

TEST(LookupQueryText, TheSearchTextIsFilledAsTheWindowFillsIt) {
  lookup::Cp949Text text;
  ASSERT_TRUE(text.Available());
  lookup::SearchText search;

  ASSERT_EQ(text.MakeSearchText(" 가 a∼ ", &search), QueryStatus::kReady);
  EXPECT_STREQ(search.data(), " \xB0\xA1 a\xA1\xAD ") << "blanks around the words stay";

  EXPECT_EQ(text.MakeSearchText(" \t ", &search), QueryStatus::kBlank);
  EXPECT_EQ(text.MakeSearchText("", &search), QueryStatus::kBlank);
  EXPECT_EQ(text.MakeSearchText("\xB0\xA1", &search), QueryStatus::kNotUtf8);
  EXPECT_EQ(text.MakeSearchText("가 😀", &search), QueryStatus::kNotInCp949);
  EXPECT_EQ(search[0], '\0') << "nothing to search on a refusal";

  // Cut at the first zero byte, then at 255 bytes without splitting a
  // character: after "ab", 126 syllables fill 254 bytes and half of the
  // 127th would be the 255th.
  ASSERT_EQ(text.MakeSearchText(std::string("가\0나", 7), &search), QueryStatus::kReady);
  EXPECT_STREQ(search.data(), "\xB0\xA1");
  std::string longQuery = "ab";
  for (int i = 0; i < 200; ++i) longQuery += "가";
  ASSERT_EQ(text.MakeSearchText(longQuery, &search), QueryStatus::kReady);
  EXPECT_EQ(std::string(search.data()).size(), 254u);
  EXPECT_EQ(search[255], '\0');
}

TEST(LookupQueryText, TableBytesBecomeUtf8WithReplacementsForNonCharacters) {
  lookup::Cp949Text text;
  EXPECT_EQ(text.ToUtf8("\xBC\xAD\xBF\xEF 02 \xA1\xAD"), "서울 02 ∼");
  EXPECT_EQ(text.ToUtf8("a\xFF"
                        "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(text.ToUtf8("a\xB0"), "a\xEF\xBF\xBD") << "a lead byte at the end";
  EXPECT_EQ(text.ToUtf8("\xB0 \xC9\xA1!"), "\xEF\xBF\xBD \xEF\xBF\xBD!")
      << "a lead byte without its trail, an unassigned pair";
  EXPECT_EQ(text.ToUtf8(std::string(3000, 'x')).size(), 3000u) << "longer than one chunk";
}

std::string Written(OutputFormat format, bool withLine,
                    const std::vector<std::vector<std::string>>& rows) {
  std::FILE* f = std::tmpfile();
  {
    lookup::RowWriter writer(format, withLine, f);
    long line = 1;
    for (const auto& r : rows) writer.Row(line++, r[0], r[1], r[2]);
    EXPECT_TRUE(writer.Finish());
  }
  std::rewind(f);
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return out;
}

TEST(LookupRowWriter, TsvCsvAndJsonKeepEveryFieldWhole) {
  const std::vector<std::vector<std::string>> rows = {
      {"135-806", "02", "서울 강남구 개포1동"},
      {"06236", "02", "a,b \"c\"\td\ne\\"},
  };
  EXPECT_EQ(Written(OutputFormat::kTsv, false, rows),
            "135-806\t02\t서울 강남구 개포1동\n06236\t02\ta,b \"c\" d e\\\n");
  EXPECT_EQ(Written(OutputFormat::kCsv, true, rows),
            "1,135-806,02,서울 강남구 개포1동\n2,06236,02,\"a,b \"\"c\"\"\td\ne\\\"\n");
  EXPECT_EQ(Written(OutputFormat::kJson, true, rows),
            "[\n{\"line\":1,\"zipcode\":\"135-806\",\"ddd\":\"02\",\"address\":\"서울 강남구 "
            "개포1동\"},\n{\"line\":2,\"zipcode\":\"06236\",\"ddd\":\"02\",\"address\":"
            "\"a,b \\\"c\\\"\\u0009d\\u000ae\\\\\"}\n]\n");
  EXPECT_EQ(Written(OutputFormat::kJson, false, {}), "[]\n");
  EXPECT_EQ(Written(OutputFormat::kTsv, false, {}), "");
}

TEST(LookupRowWriter, AFailedWriteIsReported) {
  std::FILE* full = std::fopen("/dev/full", "w");
  if (!full) GTEST_SKIP() << "no /dev/full";
  lookup::RowWriter writer(OutputFormat::kTsv, false, full);
  writer.Row(0, "1", "2", "3");
  EXPECT_FALSE(writer.Finish());
  std::fclose(full);
}

}  // namespace
