#include "RangeFile.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "Cp949Check.h"
#include "DialCode.h"
#include "RangeAddress.h"

namespace postal {
namespace {

constexpr const char* kRoadNames[kRoadFieldCount] = {"우편번호",
                                                     "시도명",
                                                     "시도명(영문)",
                                                     "시군구명",
                                                     "시군구명(영문)",
                                                     "읍면명",
                                                     "읍면명(영문)",
                                                     "도로명",
                                                     "도로명(영문)",
                                                     "지하여부",
                                                     "건물번호본번(시작)",
                                                     "건물번호부번(시작)",
                                                     "건물번호본번(종료)",
                                                     "건물번호부번(종료)",
                                                     "범위종류"};
constexpr const char* kLotNames[kLotFieldCount] = {
    "우편번호",       "시도명",         "시도명(영문)",   "시군구명",      "시군구명(영문)",
    "읍면동명",       "읍면동명(영문)", "리명",           "산여부",        "행정동명",
    "지번본번(시작)", "지번부번(시작)", "지번본번(종료)", "지번부번(종료)"};

namespace road {
enum {
  kZone,
  kSido,
  kSigungu = 3,
  kEupmyeon = 5,
  kRoad = 7,
  kUnderground = 9,
  kStartMain,
  kStartSub,
  kEndMain,
  kEndSub,
  kSpan
};
}
namespace lot {
enum {
  kZone,
  kSido,
  kSigungu = 3,
  kEupmyeondong = 5,
  kRi = 7,
  kMountain,
  kHaengjeongdong,
  kStartMain,
  kStartSub,
  kEndMain,
  kEndSub
};
}

constexpr size_t kMaxFields = 16;  // one more than the longest row: "too many" is seen
using FieldViews = std::array<std::string_view, kMaxFields>;

// Splits line at '|'; returns the number of fields (views past kMaxFields are
// not kept).
size_t SplitFields(std::string_view line, FieldViews* f) {
  size_t n = 0, start = 0;
  for (;;) {
    const size_t bar = line.find('|', start);
    const size_t end = bar == std::string_view::npos ? line.size() : bar;
    if (n < kMaxFields) (*f)[n] = line.substr(start, end - start);
    ++n;
    if (bar == std::string_view::npos) return n;
    start = bar + 1;
  }
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool IsZone(std::string_view s) {
  return s.size() == 5 &&
         std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The state of one parse: the file's encoding, the current line and the
// error it ends with.
class RowReader {
 public:
  RowReader(TextEncoding encoding, ConvertError* error) : encoding_(encoding), error_(error) {}

  void SetLine(int line, RangeKind kind) {
    line_ = line;
    names_ = kind == RangeKind::kRoad ? kRoadNames : kLotNames;
  }
  int line() const { return line_; }

  bool Fail(std::string reason) {
    if (error_) *error_ = ConvertError{line_, std::move(reason)};
    return false;
  }
  bool FailField(size_t field, std::string_view raw, const char* what) {
    return Fail(std::string(names_[field]) + " \"" + ForMessage(raw) + "\": " + what);
  }

  // The text of a name field in CP949, blanks at both ends removed.
  bool Text(const FieldViews& f, size_t field, bool required, std::string* out) {
    const std::string_view raw = Trimmed(f[field]);
    out->clear();
    for (char c : raw)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        return FailField(field, raw, "control character");
    if (required && raw.empty()) return FailField(field, raw, "empty");
    if (encoding_ == TextEncoding::kCp949) {
      out->assign(raw);
      return true;
    }
    char32_t missing = 0;
    if (!AppendCp949FromUtf8(raw, out, &missing))
      return FailField(field, raw,
                       ("character " + CodePointName(missing) + " has no CP949 form").c_str());
    return true;
  }

  // A flag: "1" yes, "0" or empty no.
  bool Flag(const FieldViews& f, size_t field, bool* on) {
    const std::string_view raw = Trimmed(f[field]);
    if (raw.empty() || raw == "0") {
      *on = false;
      return true;
    }
    if (raw == "1") {
      *on = true;
      return true;
    }
    return FailField(field, raw, "neither 0 nor 1");
  }

  // An unsigned decimal number of at most 9 digits; an empty optional field
  // reads as 0.
  bool Number(const FieldViews& f, size_t field, bool required, uint32_t* value) {
    const std::string_view raw = Trimmed(f[field]);
    *value = 0;
    if (raw.empty()) return required ? FailField(field, raw, "not a number") : true;
    if (raw.size() > 9) return FailField(field, raw, "not a number of at most 9 digits");
    const auto [end, ec] = std::from_chars(raw.data(), raw.data() + raw.size(), *value);
    if (ec != std::errc() || end != raw.data() + raw.size() || raw[0] == '+')
      return FailField(field, raw, "not a number");
    return true;
  }

  // The start and end number of a range row. An end whose main number is
  // empty or 0 names no end: building and lot numbers start at 1.
  bool Range(const FieldViews& f, size_t startMain, RangeNumber* start, RangeNumber* end) {
    if (!Number(f, startMain, true, &start->main) ||
        !Number(f, startMain + 1, false, &start->sub) ||
        !Number(f, startMain + 2, false, &end->main) || !Number(f, startMain + 3, false, &end->sub))
      return false;
    if (end->main == 0) *end = *start;
    return true;
  }

  bool Zone(const FieldViews& f, std::string* zone) {
    const std::string_view raw = Trimmed(f[0]);
    if (!IsZone(raw)) return FailField(0, raw, "not a five-digit zone number");
    zone->assign(raw);
    return true;
  }

  bool Province(size_t field, const std::string& sido) {
    if (IsKnownFullProvince(sido)) return true;
    return Fail(std::string(names_[field]) + " \"" + Utf8FromCp949(sido) +
                "\": not a province of the dialling-code table");
  }

 private:
  std::string ForMessage(std::string_view raw) const {
    std::string shown = encoding_ == TextEncoding::kCp949 ? Utf8FromCp949(raw) : std::string(raw);
    return shown.size() > 80 ? shown.substr(0, 80) + "..." : shown;
  }

  TextEncoding encoding_;
  ConvertError* error_;
  int line_ = 0;
  const char* const* names_ = kRoadNames;
};

// One row's fields in CP949 and its address, reused from row to row.
struct RowTexts {
  std::string zone, sido, sigungu, place, road, ri, haengjeongdong, etc;
};

bool ReadRoadRow(RowReader& r, const FieldViews& f, RowTexts* t) {
  RoadRange row;
  uint32_t span = 0;
  if (!r.Zone(f, &t->zone) || !r.Text(f, road::kSido, true, &t->sido) ||
      !r.Province(road::kSido, t->sido) || !r.Text(f, road::kSigungu, false, &t->sigungu) ||
      !r.Text(f, road::kEupmyeon, false, &t->place) || !r.Text(f, road::kRoad, true, &t->road) ||
      !r.Flag(f, road::kUnderground, &row.underground) ||
      !r.Range(f, road::kStartMain, &row.start, &row.end) || !r.Number(f, road::kSpan, true, &span))
    return false;
  if (span > 3) return r.FailField(road::kSpan, Trimmed(f[road::kSpan]), "not 0, 1, 2 or 3");
  row.span = static_cast<RangeSpan>(span);
  row.sido = t->sido;
  row.sigungu = t->sigungu;
  row.eupmyeon = t->place;
  row.road = t->road;
  MakeRoadAddress(row, &t->etc);
  return true;
}

bool ReadLotRow(RowReader& r, const FieldViews& f, RowTexts* t) {
  LotRange row;
  if (!r.Zone(f, &t->zone) || !r.Text(f, lot::kSido, true, &t->sido) ||
      !r.Province(lot::kSido, t->sido) || !r.Text(f, lot::kSigungu, false, &t->sigungu) ||
      !r.Text(f, lot::kEupmyeondong, true, &t->place) || !r.Text(f, lot::kRi, false, &t->ri) ||
      !r.Flag(f, lot::kMountain, &row.mountain) ||
      !r.Text(f, lot::kHaengjeongdong, false, &t->haengjeongdong) ||
      !r.Range(f, lot::kStartMain, &row.start, &row.end))
    return false;
  row.sido = t->sido;
  row.sigungu = t->sigungu;
  row.eupmyeondong = t->place;
  row.ri = t->ri;
  row.haengjeongdong = t->haengjeongdong;
  MakeLotAddress(row, &t->etc);
  return true;
}

// The kind named by a line of column names, if it is one.
std::optional<RangeKind> KindOfColumnNames(std::string_view line, TextEncoding encoding) {
  std::string cp949;
  if (encoding == TextEncoding::kUtf8) {
    if (!AppendCp949FromUtf8(line, &cp949, nullptr)) cp949.clear();
  } else {
    cp949.assign(line);
  }
  static const std::string road = Cp949FromUtf8("도로명"), dong = Cp949FromUtf8("읍면동명"),
                           ri = Cp949FromUtf8("리명");
  FieldViews f;
  const size_t n = std::min(SplitFields(cp949, &f), kMaxFields);
  for (size_t i = 0; i < n; ++i)
    if (Trimmed(f[i]) == road) return RangeKind::kRoad;
  for (size_t i = 0; i < n; ++i)
    if (Trimmed(f[i]) == dong || Trimmed(f[i]) == ri) return RangeKind::kLot;
  return std::nullopt;
}

size_t FieldCount(RangeKind kind) {
  return kind == RangeKind::kRoad ? kRoadFieldCount : kLotFieldCount;
}

const char* KindName(RangeKind kind) {
  return kind == RangeKind::kRoad ? "road-name" : "lot-number";
}

int LineOf(std::string_view bytes, size_t offset) {
  return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + offset, '\n'));
}

}  // namespace

std::optional<RangeFileInfo> ReadRangeFile(std::string_view bytes, const RangeRowSink& sink,
                                           ConvertError* error, const RangeProgress& progress) {
  RangeFileInfo file;
  const DetectedEncoding detected = DetectEncoding(bytes);
  file.encoding = detected.encoding;
  RowReader reader(file.encoding, error);
  if (detected.invalidAt != kValidText) {
    reader.SetLine(LineOf(bytes, detected.invalidAt), RangeKind::kRoad);
    reader.Fail("bytes that are neither UTF-8 nor CP949");
    return std::nullopt;
  }
  std::string_view text = bytes.substr(detected.textStart);
  // Empty lines at the end of the file are no rows.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  if (text.empty()) {
    reader.SetLine(1, RangeKind::kRoad);
    reader.Fail("empty file: neither column names nor rows");
    return std::nullopt;
  }

  RowTexts texts;
  FieldViews f;
  bool kindKnown = false;
  size_t start = 0;
  for (int lineNo = 1; start <= text.size(); ++lineNo) {
    size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) lf = text.size();
    std::string_view line = text.substr(start, lf - start);
    start = lf + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    reader.SetLine(lineNo, file.kind);
    if (line.find('\r') != std::string_view::npos) {
      reader.Fail("carriage return inside the line");
      return std::nullopt;
    }
    if (line.empty()) {
      reader.Fail("empty line");
      return std::nullopt;
    }
    const size_t n = SplitFields(line, &f);
    const auto kind = lineNo == 1 ? KindOfColumnNames(line, file.encoding) : std::nullopt;
    if (kind) {
      if (n != FieldCount(*kind)) {
        reader.Fail(std::string("column names of a ") + KindName(*kind) + " range file: " +
                    std::to_string(n) + " columns, expected " + std::to_string(FieldCount(*kind)));
        return std::nullopt;
      }
      file.kind = *kind;
      file.hasColumnNames = kindKnown = true;
      continue;
    }
    if (!kindKnown) {
      if (n != kRoadFieldCount && n != kLotFieldCount) {
        reader.Fail(std::to_string(n) +
                    " fields: neither column names (with 도로명, 읍면동명 or 리명) nor a row of "
                    "a road-name (15 fields) or lot-number range file (14 fields)");
        return std::nullopt;
      }
      file.kind = n == kRoadFieldCount ? RangeKind::kRoad : RangeKind::kLot;
      kindKnown = true;
      reader.SetLine(lineNo, file.kind);
    }
    if (n != FieldCount(file.kind)) {
      reader.Fail("expected " + std::to_string(FieldCount(file.kind)) + " fields, found " +
                  std::to_string(n));
      return std::nullopt;
    }
    const bool ok = file.kind == RangeKind::kRoad ? ReadRoadRow(reader, f, &texts)
                                                  : ReadLotRow(reader, f, &texts);
    if (!ok) return std::nullopt;
    if (texts.etc.size() > static_cast<size_t>(kMaxCharWidth)) {
      reader.Fail("address of " + std::to_string(texts.etc.size()) +
                  " bytes exceeds the 254 of a character field");
      return std::nullopt;
    }
    sink(RangeRow{texts.zone, DialCodeForDistrict(texts.sido, texts.sigungu), texts.etc,
                  file.kind == RangeKind::kLot && IsIslandOfDanwonGu(texts.place)});
    if (++file.rows % 16384 == 0 && progress) progress(file.rows);
  }
  if (progress) progress(file.rows);
  return file;
}

std::optional<RangeFile> ParseRangeFile(std::string_view bytes, ConvertError* error) {
  RangeFile file;
  const auto info = ReadRangeFile(
      bytes,
      [&](const RangeRow& row) {
        file.records.push_back(
            PostcodeRecord{std::string(row.zipcode), std::string(row.ddd), std::string(row.etc)});
        if (row.islandLot) file.islandZones.emplace_back(row.zipcode);
      },
      error);
  if (!info) return std::nullopt;
  file.info = *info;
  return file;
}

}  // namespace postal
