#pragma once
// The date of the data an import reads, which the table's header carries as
// its last-update date, so that every reader that shows the table's date
// shows the data's: the date in a range file's name (20251028_도로명범위.txt),
// the latest 효력발생일 of the government's rows, the date of a zip's
// members. The day of the import only when the files name none.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string_view>

#include "PostcodeDbf.h"

namespace postal {

// YYYYMMDD of a real day of the years a table's header can hold (1900 to
// 2155), as that number.
std::optional<uint32_t> ParseYmd(std::string_view digits);
DbfDate DateOfYmd(uint32_t ymd);
// The date that the name of a file (its last part after '/') begins with,
// eight digits followed by anything but a digit.
std::optional<DbfDate> DateOfFileName(std::string_view path);
// The local day of a moment.
DbfDate LocalDate(std::time_t moment);

// The latest of the dates seen.
class LatestDate {
 public:
  void See(const DbfDate& date);
  void See(const std::optional<DbfDate>& date) {
    if (date) See(*date);
  }
  const std::optional<DbfDate>& date() const { return date_; }

 private:
  std::optional<DbfDate> date_;
};

}  // namespace postal
