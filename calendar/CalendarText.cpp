#include "calendar/CalendarText.h"

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "calendar/CalendarNames.h"
#include "calendar/CalendarTypes.h"
#include "calendar/Cp949Encoding.h"
#include "calendar/DayArithmetic.h"
#include "calendar/DayCycles.h"
#include "calendar/SolarLunar.h"
#include "calendar/SolarTerms.h"

namespace calendar {
namespace {

// The fixed pieces of the text, in UTF-8, converted to CP949 once.
enum Label {
  kSolarLine,        // " 양력 "
  kLunarLine,        // " 음력 "
  kYearSpace,        // "년 "
  kMonthSpace,       // "월 "
  kDaySpace,         // "일 "
  kDay,              // "일"
  kHourSpace,        // "시 "
  kMinute,           // "분"
  kMinuteSpace,      // "분 "
  kBigMonth,         // " 대월"
  kSmallMonth,       // " 소월"
  kLeapMonth,        // " 윤달"
  kPlainMonth,       // " 평달"
  kSolarAfterTerm,   // " 양력"
  kOpeningTerm,      // " 이번달 절입: "
  kPrincipalTerm,    // " 이번달 중기: "
  kNextOpeningTerm,  // " 다음달 절입: "
  kNewMoon,          // " 이번달 합삭일시: 양력 "
  kFullMoon,         // " 이번달   망일시: 양력 "
  kNextNewMoon,      // " 다음달 합삭일시: 양력 "
  kLabelCount
};

constexpr std::array<std::string_view, kLabelCount> kLabelsUtf8 = {" 양력 ",
                                                                   " 음력 ",
                                                                   "년 ",
                                                                   "월 ",
                                                                   "일 ",
                                                                   "일",
                                                                   "시 ",
                                                                   "분",
                                                                   "분 ",
                                                                   " 대월",
                                                                   " 소월",
                                                                   " 윤달",
                                                                   " 평달",
                                                                   " 양력",
                                                                   " 이번달 절입: ",
                                                                   " 이번달 중기: ",
                                                                   " 다음달 절입: ",
                                                                   " 이번달 합삭일시: 양력 ",
                                                                   " 이번달   망일시: 양력 ",
                                                                   " 다음달 합삭일시: 양력 "};

struct Labels {
  bool available = true;
  std::array<std::string, kLabelCount> text;
};

const Labels& GetLabels() {
  static const Labels labels = [] {
    Labels l;
    for (size_t i = 0; i < kLabelCount; ++i) {
      std::optional<std::string> cp949 = Utf8ToCp949(kLabelsUtf8[i]);
      if (!cp949) l.available = false;
      l.text[i] = cp949.value_or(std::string());
    }
    return l;
  }();
  return labels;
}

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
  explicit TextWriter(const Labels& labels) : labels_(labels) {}

  TextWriter& operator<<(Label label) {
    text_ += labels_.text[label];
    return *this;
  }
  TextWriter& operator<<(const std::string& cp949) {
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
  const Labels& labels_;
  std::string text_;
};

}  // namespace

std::string BuildCalendarText(std::string_view dateText) {
  const std::optional<SolarDate> parsed = ParseDateText(dateText);
  const Labels& labels = GetLabels();
  if (!parsed || !labels.available || !CalendarNamesAvailable()) return std::string();
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

  TextWriter out(labels);
  out << kSolarLine << date.year << kYearSpace << date.month << kMonthSpace << date.day << kDaySpace
      << WeekdayNames()[w] << std::string(" ") << MansionNames()[x];
  out.NewLine();
  out << kLunarLine << lunar.year << kYearSpace << lunar.month << kMonthSpace << lunar.day << kDay
      << (lunar.bigMonth ? kBigMonth : kSmallMonth) << (lunar.leap ? kLeapMonth : kPlainMonth);
  out.NewLine();
  out << std::string(" ") << GanjiNames()[ganji.year] << kYearSpace << GanjiNames()[ganji.month]
      << kMonthSpace << GanjiNames()[ganji.day] << kDay;

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
