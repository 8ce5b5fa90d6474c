// The pieces of postcode-lookup that need no table: its command line, its
// input lines and the three output formats.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "lookup/InputLines.h"
#include "lookup/Options.h"
#include "lookup/RowWriter.h"

namespace {

using lookup::LookupOptions;
using lookup::OutputFormat;

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

// Lines as a file of them: a zero byte, a carriage return before the line
// end, an overlong line and a last line without its end.
std::vector<lookup::InputLine> LinesOf(const std::string& bytes, size_t maxBytes) {
  std::FILE* f = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::rewind(f);
  lookup::InputLines lines(f, maxBytes);
  std::vector<lookup::InputLine> all;
  for (lookup::InputLine line; lines.Next(&line);) all.push_back(line);
  EXPECT_FALSE(lines.Failed());
  std::fclose(f);
  return all;
}

TEST(LookupInputLines, AreCountedByTheirLineEnds) {
  const std::string zero("a\0b\n", 4);
  const auto lines = LinesOf(zero + "서울\r\n\n" + std::string(20, 'x') + "\nlast", 10);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].number, 1);
  EXPECT_TRUE(lines[0].hasZeroByte) << "a zero byte is part of its line, not its end";
  EXPECT_EQ(lines[1].number, 2);
  EXPECT_EQ(lines[1].text, "서울");
  EXPECT_FALSE(lines[1].hasZeroByte);
  EXPECT_EQ(lines[2].text, "");
  EXPECT_TRUE(lines[3].tooLong);
  EXPECT_EQ(lines[4].number, 5);
  EXPECT_EQ(lines[4].text, "last");
  EXPECT_TRUE(LinesOf("", 10).empty());
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
            "line,zipcode,ddd,address,status\n1,135-806,02,서울 강남구 개포1동,\n2,06236,02,\"a,b "
            "\"\"c\"\"\td\ne\\\",\n");
  EXPECT_EQ(Written(OutputFormat::kCsv, false, rows).substr(0, 38),
            "zipcode,ddd,address\n135-806,02,서울 ");
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
