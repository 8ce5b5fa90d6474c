#include "calendar/CalendarNames.h"

#include <string_view>

#include "calendar/Cp949Encoding.h"

namespace calendar {
namespace {

constexpr std::array<std::string_view, 25> kTermNames = {
    "입춘", "우수", "경칩", "춘분", "청명", "곡우", "입하", "소만", "망종",
    "하지", "소서", "대서", "입추", "처서", "백로", "추분", "한로", "상강",
    "입동", "소설", "대설", "동지", "소한", "대한", "입춘"};

constexpr std::array<std::string_view, 10> kStems = {"甲", "乙", "丙", "丁", "戊",
                                                     "己", "庚", "辛", "壬", "癸"};
constexpr std::array<std::string_view, 12> kBranches = {"子", "丑", "寅", "卯", "辰", "巳",
                                                        "午", "未", "申", "酉", "戌", "亥"};

constexpr std::array<std::string_view, 7> kWeekdayNames = {"일요일", "월요일", "화요일", "수요일",
                                                           "목요일", "금요일", "토요일"};

// Entries 2, 15, 19 and 27 are Hangul syllables, the others Hanja.
constexpr std::array<std::string_view, 28> kMansionNames = {
    "角", "亢", "저", "房", "心", "尾", "箕", "斗", "牛", "女", "虛", "危", "室", "壁",
    "奎", "누", "胃", "昴", "畢", "자", "參", "井", "鬼", "柳", "星", "張", "翼", "진"};

struct Tables {
  bool available = true;
  std::array<std::string, 25> terms;
  std::array<std::string, 60> ganji;
  std::array<std::string, 7> weekdays;
  std::array<std::string, 28> mansions;
};

template <size_t N>
void Convert(const std::array<std::string_view, N>& utf8, std::array<std::string, N>& out,
             bool& available) {
  for (size_t i = 0; i < N; ++i) {
    std::optional<std::string> cp949 = Utf8ToCp949(utf8[i]);
    if (!cp949) available = false;
    out[i] = cp949.value_or(std::string());
  }
}

Tables BuildTables() {
  Tables t;
  Convert(kTermNames, t.terms, t.available);
  Convert(kWeekdayNames, t.weekdays, t.available);
  Convert(kMansionNames, t.mansions, t.available);
  std::array<std::string_view, 60> ganji;
  std::array<std::string, 60> ganjiUtf8;
  for (size_t i = 0; i < 60; ++i) {
    ganjiUtf8[i] = std::string(kStems[i % 10]) + std::string(kBranches[i % 12]);
    ganji[i] = ganjiUtf8[i];
  }
  Convert(ganji, t.ganji, t.available);
  if (!t.available) t = Tables{false, {}, {}, {}, {}};
  return t;
}

const Tables& GetTables() {
  static const Tables tables = BuildTables();  // converted once, thread-safe
  return tables;
}

}  // namespace

bool CalendarNamesAvailable() {
  return GetTables().available;
}
const std::array<std::string, 25>& TermNames() {
  return GetTables().terms;
}
const std::array<std::string, 60>& GanjiNames() {
  return GetTables().ganji;
}
const std::array<std::string, 7>& WeekdayNames() {
  return GetTables().weekdays;
}
const std::array<std::string, 28>& MansionNames() {
  return GetTables().mansions;
}

}  // namespace calendar
