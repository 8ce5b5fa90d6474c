#include "calendar/CalendarText.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "calendar/CalendarNames.h"
#include "calendar/CalendarTypes.h"
#include "calendar/DayArithmetic.h"
#include "calendar/DayCycles.h"
#include "calendar/SolarLunar.h"
#include "calendar/SolarTerms.h"

namespace calendar {
namespace {

// The fixed pieces of the text.
enum Label {
  kSolarLine,
  kLunarLine,
  kYearSpace,
  kMonthSpace,
  kDaySpace,
  kDay,
  kHourSpace,
  kMinute,
  kMinuteSpace,
  kBigMonth,
  kSmallMonth,
  kLeapMonth,
  kPlainMonth,
  kSolarAfterTerm,
  kOpeningTerm,
  kPrincipalTerm,
  kNextOpeningTerm,
  kNewMoon,
  kFullMoon,
  kNextNewMoon,
  kLabelCount
};

// The pieces as CP949 bytes (python3's cp949 codec), in the order of Label.
constexpr std::array<std::string_view, kLabelCount> kLabels = {
    // " 양력 "
    " \xbe\xe7\xb7\xc2 ",
    // " 음력 "
    " \xc0\xbd\xb7\xc2 ",
    // "년 "
    "\xb3\xe2 ",
    // "월 "
    "\xbf\xf9 ",
    // "일 "
    "\xc0\xcf ",
    // "일"
    "\xc0\xcf",
    // "시 "
    "\xbd\xc3 ",
    // "분"
    "\xba\xd0",
    // "분 "
    "\xba\xd0 ",
    // " 대월"
    " \xb4\xeb\xbf\xf9",
    // " 소월"
    " \xbc\xd2\xbf\xf9",
    // " 윤달"
    " \xc0\xb1\xb4\xde",
    // " 평달"
    " \xc6\xf2\xb4\xde",
    // " 양력"
    " \xbe\xe7\xb7\xc2",
    // " 이번달 절입: "
    " \xc0\xcc\xb9\xf8\xb4\xde \xc0\xfd\xc0\xd4: ",
    // " 이번달 중기: "
    " \xc0\xcc\xb9\xf8\xb4\xde \xc1\xdf\xb1\xe2: ",
    // " 다음달 절입: "
    " \xb4\xd9\xc0\xbd\xb4\xde \xc0\xfd\xc0\xd4: ",
    // " 이번달 합삭일시: 양력 "
    " \xc0\xcc\xb9\xf8\xb4\xde \xc7\xd5\xbb\xe8\xc0\xcf\xbd\xc3: \xbe\xe7\xb7\xc2 ",
    // " 이번달   망일시: 양력 "
    " \xc0\xcc\xb9\xf8\xb4\xde   \xb8\xc1\xc0\xcf\xbd\xc3: \xbe\xe7\xb7\xc2 ",
    // " 다음달 합삭일시: 양력 "
    " \xb4\xd9\xc0\xbd\xb4\xde \xc7\xd5\xbb\xe8\xc0\xcf\xbd\xc3: \xbe\xe7\xb7\xc2 ",
};

// Decimal digits at [pos, pos + count), or -1.
int DigitsAt(std::string_view text, size_t pos, size_t count) {
  int value = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::optional<SolarDate> ParseDateText(std::string_view text) {
  if (text.size() != 10 || text[4] != '.' || text[7] != '.') return std::nullopt;
  const int year = DigitsAt(text, 0, 4);
  const int month = DigitsAt(text, 5, 2);
  const int day = DigitsAt(text, 8, 2);
  if (year < 0 || month < 1 || month > 12 || day < 1) return std::nullopt;
  // A day past the month's end would run into the next month.
  const SolarDate date{year, static_cast<int16_t>(month), static_cast<int16_t>(day)};
  if (day > DayDistance(SolarDate{year, static_cast<int16_t>(month + 1), 1},
                        SolarDate{year, static_cast<int16_t>(month), 1}))
    return std::nullopt;
  return date;
}

class TextWriter {
 public:
  TextWriter& operator<<(Label label) {
    text_ += kLabels[label];
    return *this;
  }
  TextWriter& operator<<(std::string_view cp949) {
    text_ += cp949;
    return *this;
  }
  TextWriter& operator<<(long long number) {
    text_ += std::to_string(number);
    return *this;
  }
  void NewLine() { text_ += '\r'; }

  // "Y년 M월 D일 h시 m" without the closing minute label.
  void MomentFields(const SolarMoment& m) {
    *this << m.date.year << kYearSpace << m.date.month << kMonthSpace << m.date.day << kDaySpace
          << m.hour << kHourSpace << m.minute;
  }

  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

}  // namespace

std::string BuildCalendarText(std::string_view dateText) {
  const std::optional<SolarDate> parsed = ParseDateText(dateText);
  if (!parsed) return std::string();
  const SolarDate date = *parsed;

  const int w = WeekdayIndex(date);
  LunarDate lunar;
  SolarToLunar(date, lunar);
  // At 23:25 a solar term that falls at any time up to then already counts for the day.
  const SolarMoment lateEvening{date, 23, 25};
  const Ganji ganji = GanjiOfMoment(lateEvening);
  const SolarTermsAroundResult terms = SolarTermsAround(lateEvening);
  const int x = MansionIndex(date);
  const MoonPhases phases = FindMoonPhases(date);

  TextWriter out;
  out << kSolarLine << date.year << kYearSpace << date.month << kMonthSpace << date.day << kDaySpace
      << WeekdayNames()[w] << std::string_view(" ") << MansionNames()[x];
  out.NewLine();
  out << kLunarLine << lunar.year << kYearSpace << lunar.month << kMonthSpace << lunar.day << kDay
      << (lunar.bigMonth ? kBigMonth : kSmallMonth) << (lunar.leap ? kLeapMonth : kPlainMonth);
  out.NewLine();
  out << std::string_view(" ") << GanjiNames()[ganji.year] << kYearSpace
      << GanjiNames()[ganji.month] << kMonthSpace << GanjiNames()[ganji.day] << kDay;

  const std::array<std::pair<Label, const SolarTerm*>, 3> termLines = {{
      {kOpeningTerm, &terms.opening},
      {kPrincipalTerm, &terms.principal},
      {kNextOpeningTerm, &terms.next},
  }};
  for (const auto& [label, term] : termLines) {
    out.NewLine();
    out << label << TermNames()[term->index] << kSolarAfterTerm;
    out.MomentFields(term->moment);
    out << kMinute;
  }

  const std::array<std::pair<Label, const SolarMoment*>, 3> moonLines = {{
      {kNewMoon, &phases.newMoon},
      {kFullMoon, &phases.fullMoon},
      {kNextNewMoon, &phases.nextNewMoon},
  }};
  for (const auto& [label, moment] : moonLines) {
    out.NewLine();
    out << label;
    out.MomentFields(*moment);
    out << kMinuteSpace;
  }
  return out.Take();
}

}  // namespace calendar
