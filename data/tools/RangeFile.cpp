#include "RangeFile.h"

#include <algorithm>

#include "Cp949Check.h"
#include "DialCode.h"
#include "FieldReader.h"
#include "RangeAddress.h"

namespace postal {
namespace {

// The column names of the real files; a file's own line of column names, when
// it has one, names its fields instead.
const ColumnNames& RoadNames() {
  static const ColumnNames names = {
      "우편번호",       "시도",           "시도영문",         "시군구",
      "시군구영문",     "읍면",           "읍면영문",         "도로명",
      "도로명영문",     "지하여부",       "시작건물번호(주)", "시작건물번호(부)",
      "끝건물번호(주)", "끝건물번호(부)", "범위종류"};
  return names;
}
const ColumnNames& LotNames() {
  static const ColumnNames names = {"구역번호",   "시도",       "시도영문", "시군구",  "시군구영문",
                                    "읍면동",     "읍면동영문", "리명",     "산여부",  "행정동",
                                    "시작주번지", "시작부번지", "끝주번지", "끝부번지"};
  return names;
}

namespace road {
enum {
  kZone,
  kSido,
  kSidoEn,
  kSigungu,
  kSigunguEn,
  kEupmyeon,
  kEupmyeonEn,
  kRoad,
  kRoadEn,
  kUnderground,
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

std::string NumberText(const RangeNumber& n) {
  std::string text = std::to_string(n.main);
  if (n.sub != 0) {
    text += '-';
    text += std::to_string(n.sub);
  }
  return text;
}

// The start and end number of a range row. An end whose main number is
// empty or 0 names no end (a range of one number): building and lot numbers
// start at 1.
bool ReadRange(FieldReader& r, const FieldViews& f, size_t startMain, RangeNumber* start,
               RangeNumber* end) {
  if (!r.Number(f, startMain, true, &start->main) ||
      !r.Number(f, startMain + 1, false, &start->sub) ||
      !r.Number(f, startMain + 2, false, &end->main) ||
      !r.Number(f, startMain + 3, false, &end->sub))
    return false;
  if (end->main == 0) *end = *start;
  return true;
}

// A range ends at or after its start.
bool Ascending(FieldReader& r, size_t startMain, const RangeNumber& start, const RangeNumber& end) {
  if (end.main > start.main || (end.main == start.main && end.sub >= start.sub)) return true;
  return r.Fail(r.Name(startMain + 2) + " " + NumberText(end) + " is below " + r.Name(startMain) +
                " " + NumberText(start) + ": the range runs backwards");
}

// One row's fields in CP949 and its addresses, reused from row to row.
struct RowTexts {
  std::string zone, sido, sigungu, place, road, ri, haengjeongdong, etc, eng;
  std::string sidoEn, sigunguEn, eupmyeonEn, roadEn;
};

bool ReadRoadRow(FieldReader& r, const FieldViews& f, RowTexts* t) {
  RoadRange row;
  uint32_t span = 0;
  if (!r.Zone(f, road::kZone, &t->zone) || !r.Text(f, road::kSido, true, &t->sido) ||
      !r.Province(road::kSido, t->sido) || !r.Text(f, road::kSigungu, false, &t->sigungu) ||
      !r.Text(f, road::kEupmyeon, false, &t->place) || !r.Text(f, road::kRoad, true, &t->road) ||
      !r.Text(f, road::kSidoEn, false, &t->sidoEn) ||
      !r.Text(f, road::kSigunguEn, false, &t->sigunguEn) ||
      !r.Text(f, road::kEupmyeonEn, false, &t->eupmyeonEn) ||
      !r.Text(f, road::kRoadEn, false, &t->roadEn) ||
      !r.Flag(f, road::kUnderground, &row.underground) ||
      !ReadRange(r, f, road::kStartMain, &row.start, &row.end) ||
      !r.Number(f, road::kSpan, true, &span))
    return false;
  if (span > 3) return r.FailField(road::kSpan, Trimmed(f[road::kSpan]), "not 0, 1, 2 or 3");
  row.span = static_cast<RangeSpan>(span);
  // A row of one number names no end.
  if (row.span != RangeSpan::kOne && !Ascending(r, road::kStartMain, row.start, row.end))
    return false;
  row.sido = t->sido;
  row.sigungu = t->sigungu;
  row.eupmyeon = t->place;
  row.road = t->road;
  row.sidoEn = t->sidoEn;
  row.sigunguEn = t->sigunguEn;
  row.eupmyeonEn = t->eupmyeonEn;
  row.roadEn = t->roadEn;
  MakeRoadAddress(row, &t->etc);
  MakeRoadEnglish(row, &t->eng);
  return true;
}

// A lot row has no English address: the file romanizes its 읍면동 but not its
// 리, and English addresses are written by road.
bool ReadLotRow(FieldReader& r, const FieldViews& f, RowTexts* t) {
  LotRange row;
  if (!r.Zone(f, lot::kZone, &t->zone) || !r.Text(f, lot::kSido, true, &t->sido) ||
      !r.Province(lot::kSido, t->sido) || !r.Text(f, lot::kSigungu, false, &t->sigungu) ||
      !r.Text(f, lot::kEupmyeondong, true, &t->place) || !r.Text(f, lot::kRi, false, &t->ri) ||
      !r.Flag(f, lot::kMountain, &row.mountain) ||
      !r.Text(f, lot::kHaengjeongdong, false, &t->haengjeongdong) ||
      !ReadRange(r, f, lot::kStartMain, &row.start, &row.end) ||
      !Ascending(r, lot::kStartMain, row.start, row.end))
    return false;
  row.sido = t->sido;
  row.sigungu = t->sigungu;
  row.eupmyeondong = t->place;
  row.ri = t->ri;
  row.haengjeongdong = t->haengjeongdong;
  MakeLotAddress(row, &t->etc);
  t->eng.clear();
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

// The names of a line of column names, for messages.
ColumnNames NamesOfLine(std::string_view line, TextEncoding encoding) {
  FieldViews f;
  const size_t n = std::min(SplitFields(line, &f), kMaxFields);
  ColumnNames names;
  for (size_t i = 0; i < n; ++i) {
    const std::string_view name = Trimmed(f[i]);
    names.push_back(
        PrintableText(encoding == TextEncoding::kCp949 ? Utf8FromCp949(name) : std::string(name)));
  }
  return names;
}

const ColumnNames& NamesOf(RangeKind kind) {
  return kind == RangeKind::kRoad ? RoadNames() : LotNames();
}

}  // namespace

std::optional<RangeFileInfo> ReadRangeFile(std::string_view bytes, const RangeRowSink& sink,
                                           ConvertError* error, const RangeProgress& progress) {
  RangeFileInfo file;
  const DetectedEncoding detected = DetectEncoding(bytes);
  file.encoding = detected.encoding;
  FieldReader reader(file.encoding, error);
  if (detected.invalidAt != kValidText) {
    reader.SetLine(LineOf(bytes, detected.invalidAt));
    reader.Fail("bytes that are neither UTF-8 nor CP949");
    return std::nullopt;
  }
  std::string_view text = bytes.substr(detected.textStart);
  // Empty lines at the end of the file are no rows.
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  reader.SetLine(1);
  if (text.empty()) {
    reader.Fail("empty file: neither column names nor rows");
    return std::nullopt;
  }

  RowTexts texts;
  FieldViews f;
  bool kindKnown = false;
  ColumnNames ownNames;
  size_t start = 0;
  for (int lineNo = 1; start <= text.size(); ++lineNo) {
    size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) lf = text.size();
    std::string_view line = text.substr(start, lf - start);
    start = lf + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    reader.SetLine(lineNo);
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
      ownNames = NamesOfLine(line, file.encoding);
      reader.SetNames(&ownNames);
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
      reader.SetNames(&NamesOf(file.kind));
    }
    if (n != FieldCount(file.kind)) {
      reader.Fail("expected " + std::to_string(FieldCount(file.kind)) + " fields, found " +
                  std::to_string(n));
      return std::nullopt;
    }
    const bool ok = file.kind == RangeKind::kRoad ? ReadRoadRow(reader, f, &texts)
                                                  : ReadLotRow(reader, f, &texts);
    if (!ok) return std::nullopt;
    for (const auto& [what, value] :
         {std::pair{"address", &texts.etc}, std::pair{"English address", &texts.eng}}) {
      if (value->size() > static_cast<size_t>(kMaxCharWidth)) {
        reader.Fail(std::string(what) + " of " + std::to_string(value->size()) +
                    " bytes exceeds the 254 of a character field");
        return std::nullopt;
      }
    }
    sink(RangeRow{texts.zone, DialCodeForDistrict(texts.sido, texts.sigungu), texts.etc, texts.eng,
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
        file.records.push_back(RangeRecord{std::string(row.zipcode), std::string(row.ddd),
                                           std::string(row.etc), std::string(row.eng)});
        if (row.islandLot) file.islandZones.emplace_back(row.zipcode);
      },
      error);
  if (!info) return std::nullopt;
  file.info = *info;
  return file;
}

}  // namespace postal
