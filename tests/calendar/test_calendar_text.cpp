#include "calendar/CalendarText.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Cp949Text.h"
#include "calendar/CalendarNames.h"

namespace calendar {
namespace {

using testsupport::Cp949;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (char c : text) {
    if (c == '\r')
      lines.emplace_back();
    else
      lines.back() += c;
  }
  return lines;
}

// Byte values of a few names as python3 gives them: '...'.encode('cp949').hex().
TEST(CalendarNames, AreWindowsCodePage949Bytes) {
  EXPECT_EQ(MansionNames()[10], "\xfa\xc8");                 // 虛
  EXPECT_EQ(MansionNames()[20], "\xf3\xd1");                 // 參
  EXPECT_EQ(MansionNames()[15], "\xb4\xa9");                 // 누
  EXPECT_EQ(MansionNames()[2], "\xc0\xfa");                  // 저
  EXPECT_EQ(MansionNames()[19], "\xc0\xda");                 // 자
  EXPECT_EQ(MansionNames()[27], "\xc1\xf8");                 // 진
  EXPECT_EQ(MansionNames()[17], "\xd9\xdb");                 // 昴
  EXPECT_EQ(TermNames()[0], "\xc0\xd4\xc3\xe1");             // 입춘
  EXPECT_EQ(WeekdayNames()[5], "\xb1\xdd\xbf\xe4\xc0\xcf");  // 금요일
  EXPECT_EQ(GanjiNames()[40], "\xcb\xa3\xf2\xe3");           // 甲辰
}

std::string ReadFixture(const char* name) {
  std::ifstream in(std::string(PF_SOURCE_DIR "/tests/calendar/fixtures/") + name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

template <size_t N>
std::string Joined(const std::array<std::string_view, N>& names) {
  std::string line;
  for (std::string_view n : names) (line += line.empty() ? "" : " ") += n;
  return line + "\n";
}

// Every table against python3's cp949 codec (see fixtures/README.md).
TEST(CalendarNames, MatchPythonsCp949Codec) {
  const std::string expected = ReadFixture("calendar-names.cp949");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(
      Joined(TermNames()) + Joined(GanjiNames()) + Joined(WeekdayNames()) + Joined(MansionNames()),
      expected);
}

TEST(CalendarNames, TablesAreComplete) {
  for (std::string_view n : MansionNames()) EXPECT_EQ(n.size(), 2u);
  for (std::string_view n : GanjiNames()) EXPECT_EQ(n.size(), 4u);
  for (std::string_view n : TermNames()) EXPECT_EQ(n.size(), 4u);
  for (std::string_view n : WeekdayNames()) EXPECT_EQ(n.size(), 6u);
  EXPECT_EQ(TermNames()[24], TermNames()[0]);
  EXPECT_EQ(GanjiNames()[0], Cp949("甲子"));
  EXPECT_EQ(GanjiNames()[1], Cp949("乙丑"));
  EXPECT_EQ(GanjiNames()[2], Cp949("丙寅"));
  EXPECT_EQ(GanjiNames()[59], Cp949("癸亥"));
  EXPECT_EQ(GanjiNames()[12], Cp949("丙子"));
  EXPECT_EQ(TermNames()[23], Cp949("대한"));
  EXPECT_EQ(WeekdayNames()[0], Cp949("일요일"));
}

// The fixture holds the nine lines of 2024-05-17 joined by carriage returns, encoded
// with python3 (see fixtures/README.md).
TEST(BuildCalendarText, NineLinesOf2024_05_17ByteForByte) {
  const std::string expected = ReadFixture("calendar-2024-05-17.cp949");
  ASSERT_FALSE(expected.empty());
  const std::string text = BuildCalendarText("2024.05.17");
  EXPECT_EQ(text, expected);
  const std::vector<std::string> lines = Lines(text);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[7], Cp949(" 이번달   망일시: 양력 2024년 5월 23일 23시 0분 "));
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_NE(text.back(), '\r');
}

TEST(BuildCalendarText, FirstLinesOf1996_02_04) {
  const std::vector<std::string> lines = Lines(BuildCalendarText("1996.02.04"));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], Cp949(" 양력 1996년 2월 4일 일요일 昴"));
  EXPECT_EQ(lines[1], Cp949(" 음력 1995년 12월 16일 대월 평달"));
  EXPECT_EQ(lines[2], Cp949(" 丙子년 庚寅월 辛未일"));
  EXPECT_EQ(lines[3], Cp949(" 이번달 절입: 입춘 양력1996년 2월 4일 22시 8분"));
  EXPECT_EQ(lines[4], Cp949(" 이번달 중기: 우수 양력1996년 2월 19일 18시 3분"));
  EXPECT_EQ(lines[5], Cp949(" 다음달 절입: 경칩 양력1996년 3월 5일 16시 11분"));
  EXPECT_EQ(lines[6], Cp949(" 이번달 합삭일시: 양력 1996년 1월 20일 21시 45분 "));
  EXPECT_EQ(lines[7], Cp949(" 이번달   망일시: 양력 1996년 2월 5일 0시 52분 "));
  EXPECT_EQ(lines[8], Cp949(" 다음달 합삭일시: 양력 1996년 2월 19일 8시 19분 "));
}

TEST(BuildCalendarText, LeapMonthLine) {
  const std::vector<std::string> lines = Lines(BuildCalendarText("2023.03.25"));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[1], Cp949(" 음력 2023년 2월 4일 소월 윤달"));
}

TEST(BuildCalendarText, TermOfTheDayCountsUpTo23_25) {
  // 입하 2024-05-05 09:18 already opens the month on its own day.
  const std::vector<std::string> lines = Lines(BuildCalendarText("2024.05.05"));
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[3], Cp949(" 이번달 절입: 입하 양력2024년 5월 5일 9시 18분"));
}

TEST(BuildCalendarText, MalformedDateTextGivesNoText) {
  for (const char* bad :
       {"", "2024.05.1", "2024.05.170", "2024-05-17", "2024.13.01", "2024.00.10", "2024.02.30",
        "2023.02.29", "2024.04.31", "2024.05.00", "20a4.05.17", " 2024.5.17", "2024.05.1\x00"}) {
    EXPECT_EQ(BuildCalendarText(bad), "") << bad;
  }
  EXPECT_EQ(BuildCalendarText(std::string_view("2024.05.1\0", 10)), "");
  EXPECT_NE(BuildCalendarText("2024.02.29"), "");
  EXPECT_NE(BuildCalendarText("2023.12.31"), "");
}

}  // namespace
}  // namespace calendar
