#include "DataDate.h"

namespace postal {
namespace {

uint32_t Ymd(const DbfDate& d) {
  return static_cast<uint32_t>(d.year * 10000 + d.month * 100 + d.day);
}

}  // namespace

std::optional<uint32_t> ParseYmd(std::string_view s) {
  if (s.size() != 8) return std::nullopt;
  uint32_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<uint32_t>(c - '0');
  }
  const uint32_t year = v / 10000, month = v / 100 % 100, day = v % 100;
  static constexpr uint32_t kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1900 || year > 2155 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1])
    return std::nullopt;
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  if (month == 2 && day == 29 && !leap) return std::nullopt;
  return v;
}

DbfDate DateOfYmd(uint32_t ymd) {
  return {static_cast<int>(ymd / 10000), static_cast<int>(ymd / 100 % 100),
          static_cast<int>(ymd % 100)};
}

std::optional<DbfDate> DateOfFileName(std::string_view path) {
  const size_t slash = path.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.size() > 8 && name[8] >= '0' && name[8] <= '9') return std::nullopt;
  const auto ymd = ParseYmd(name.substr(0, 8));
  if (!ymd) return std::nullopt;
  return DateOfYmd(*ymd);
}

DbfDate LocalDate(std::time_t moment) {
  std::tm local{};
  localtime_r(&moment, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void LatestDate::See(const DbfDate& date) {
  if (!date_ || Ymd(date) > Ymd(*date_)) date_ = date;
}

}  // namespace postal
