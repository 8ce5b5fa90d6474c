#include "calendar/CalendarNames.h"

namespace calendar {
namespace {

// The bytes are python3's cp949 codec's, each entry followed by its text.
constexpr std::array<std::string_view, 25> kTermNames = {
    "\xc0\xd4\xc3\xe1",  // 0 입춘
    "\xbf\xec\xbc\xf6",  // 1 우수
    "\xb0\xe6\xc4\xa8",  // 2 경칩
    "\xc3\xe1\xba\xd0",  // 3 춘분
    "\xc3\xbb\xb8\xed",  // 4 청명
    "\xb0\xee\xbf\xec",  // 5 곡우
    "\xc0\xd4\xc7\xcf",  // 6 입하
    "\xbc\xd2\xb8\xb8",  // 7 소만
    "\xb8\xc1\xc1\xbe",  // 8 망종
    "\xc7\xcf\xc1\xf6",  // 9 하지
    "\xbc\xd2\xbc\xad",  // 10 소서
    "\xb4\xeb\xbc\xad",  // 11 대서
    "\xc0\xd4\xc3\xdf",  // 12 입추
    "\xc3\xb3\xbc\xad",  // 13 처서
    "\xb9\xe9\xb7\xce",  // 14 백로
    "\xc3\xdf\xba\xd0",  // 15 추분
    "\xc7\xd1\xb7\xce",  // 16 한로
    "\xbb\xf3\xb0\xad",  // 17 상강
    "\xc0\xd4\xb5\xbf",  // 18 입동
    "\xbc\xd2\xbc\xb3",  // 19 소설
    "\xb4\xeb\xbc\xb3",  // 20 대설
    "\xb5\xbf\xc1\xf6",  // 21 동지
    "\xbc\xd2\xc7\xd1",  // 22 소한
    "\xb4\xeb\xc7\xd1",  // 23 대한
    "\xc0\xd4\xc3\xe1",  // 24 입춘
};

constexpr std::array<std::string_view, 10> kStems = {
    "\xcb\xa3",  // 0 甲
    "\xeb\xe0",  // 1 乙
    "\xdc\xb0",  // 2 丙
    "\xef\xcb",  // 3 丁
    "\xd9\xe6",  // 4 戊
    "\xd0\xf9",  // 5 己
    "\xcc\xd2",  // 6 庚
    "\xe3\xf4",  // 7 辛
    "\xec\xf3",  // 8 壬
    "\xcd\xa4",  // 9 癸
};

constexpr std::array<std::string_view, 12> kBranches = {
    "\xed\xad",  // 0 子
    "\xf5\xe4",  // 1 丑
    "\xec\xd9",  // 2 寅
    "\xd9\xd6",  // 3 卯
    "\xf2\xe3",  // 4 辰
    "\xde\xd3",  // 5 巳
    "\xe7\xed",  // 6 午
    "\xda\xb1",  // 7 未
    "\xe3\xe9",  // 8 申
    "\xeb\xb7",  // 9 酉
    "\xe2\xf9",  // 10 戌
    "\xfa\xa4",  // 11 亥
};

constexpr std::array<std::string_view, 7> kWeekdayNames = {
    "\xc0\xcf\xbf\xe4\xc0\xcf",  // 0 일요일
    "\xbf\xf9\xbf\xe4\xc0\xcf",  // 1 월요일
    "\xc8\xad\xbf\xe4\xc0\xcf",  // 2 화요일
    "\xbc\xf6\xbf\xe4\xc0\xcf",  // 3 수요일
    "\xb8\xf1\xbf\xe4\xc0\xcf",  // 4 목요일
    "\xb1\xdd\xbf\xe4\xc0\xcf",  // 5 금요일
    "\xc5\xe4\xbf\xe4\xc0\xcf",  // 6 토요일
};

// Entries 2, 15, 19 and 27 are Hangul syllables, the others Hanja.
constexpr std::array<std::string_view, 28> kMansionNames = {
    "\xca\xc7",  // 0 角
    "\xf9\xf1",  // 1 亢
    "\xc0\xfa",  // 2 저
    "\xdb\xae",  // 3 房
    "\xe3\xfd",  // 4 心
    "\xda\xad",  // 5 尾
    "\xd1\xb9",  // 6 箕
    "\xd4\xe0",  // 7 斗
    "\xe9\xda",  // 8 牛
    "\xd2\xb3",  // 9 女
    "\xfa\xc8",  // 10 虛
    "\xea\xcb",  // 11 危
    "\xe3\xf8",  // 12 室
    "\xdb\xfa",  // 13 壁
    "\xd0\xa5",  // 14 奎
    "\xb4\xa9",  // 15 누
    "\xea\xd6",  // 16 胃
    "\xd9\xdb",  // 17 昴
    "\xf9\xb4",  // 18 畢
    "\xc0\xda",  // 19 자
    "\xf3\xd1",  // 20 參
    "\xef\xcc",  // 21 井
    "\xd0\xa1",  // 22 鬼
    "\xd7\xb3",  // 23 柳
    "\xe0\xf8",  // 24 星
    "\xed\xe5",  // 25 張
    "\xec\xcf",  // 26 翼
    "\xc1\xf8",  // 27 진
};

// Sexagenary name i is stem i % 10 followed by branch i % 12, four bytes.
constexpr std::array<std::array<char, 4>, 60> kGanjiBytes = [] {
  std::array<std::array<char, 4>, 60> names{};
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string_view stem = kStems[i % 10], branch = kBranches[i % 12];
    names[i] = {stem[0], stem[1], branch[0], branch[1]};
  }
  return names;
}();

constexpr std::array<std::string_view, 60> kGanjiNames = [] {
  std::array<std::string_view, 60> names{};
  for (size_t i = 0; i < names.size(); ++i) names[i] = {kGanjiBytes[i].data(), 4};
  return names;
}();

}  // namespace

const std::array<std::string_view, 25>& TermNames() {
  return kTermNames;
}
const std::array<std::string_view, 60>& GanjiNames() {
  return kGanjiNames;
}
const std::array<std::string_view, 7>& WeekdayNames() {
  return kWeekdayNames;
}
const std::array<std::string_view, 28>& MansionNames() {
  return kMansionNames;
}

}  // namespace calendar
