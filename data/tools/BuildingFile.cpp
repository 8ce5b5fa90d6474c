#include "BuildingFile.h"

#include <algorithm>
#include <utility>

#include "BuildingAddress.h"
#include "Cp949Check.h"
#include "DataDate.h"
#include "DialCode.h"
#include "PostcodeDbf.h"
#include "TextEncoding.h"

namespace postal {
namespace {

const ColumnNames& KoreaPostNames() {
  static const ColumnNames names = {"우편번호",       "시도",
                                    "시도영문",       "시군구",
                                    "시군구영문",     "읍면",
                                    "읍면영문",       "도로명코드",
                                    "도로명",         "도로명영문",
                                    "지하여부",       "건물번호본번",
                                    "건물번호부번",   "건물관리번호",
                                    "다량배달처명",   "시군구용건물명",
                                    "법정동코드",     "법정동명",
                                    "리명",           "행정동명",
                                    "산여부",         "지번본번",
                                    "읍면동일련번호", "지번부번",
                                    "구우편번호",     "우편번호일련번호"};
  return names;
}

const ColumnNames& GovernmentNames() {
  static const ColumnNames names = {
      "도로명주소관리번호", "법정동코드",       "시도명",         "시군구명",
      "법정읍면동명",       "법정리명",         "산여부",         "지번본번",
      "지번부번",           "도로명코드",       "도로명",         "지하여부",
      "건물본번",           "건물부번",         "행정동코드",     "행정동명",
      "기초구역번호",       "이전도로명주소",   "효력발생일",     "공동주택여부",
      "이동사유코드",       "건축물대장건물명", "시군구용건물명", "비고"};
  return names;
}

namespace post {
enum {
  kZone,
  kSido,
  kSidoEn,
  kSigungu,
  kSigunguEn,
  kEupmyeon,
  kEupmyeonEn,
  kRoad = 8,
  kRoadEn,
  kLevel,
  kMain,
  kSub,
  kDeliveryName = 14,
  kDistrictName,
  kDong = 17,
  kRi,
  kMountain = 20,
  kLotMain,
  kLotSub = 23
};
}

namespace gov {
enum {
  kSido = 2,
  kSigungu,
  kEupmyeondong,
  kRi,
  kMountain,
  kLotMain,
  kLotSub,
  kRoad = 10,
  kLevel,
  kMain,
  kSub,
  kZone = 16,
  kEffective = 18,
  kMoveReason = 20,
  kLedgerName,
  kDistrictName
};
}

// 이동사유코드 of a row that was taken out of the data (폐지).
constexpr std::string_view kRemoved = "63";

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// A 법정읍면동명 that names an 읍 or a 면 (CP949).
bool IsEupOrMyeon(std::string_view name) {
  static const std::string eup = Cp949FromUtf8("읍"), myeon = Cp949FromUtf8("면");
  return EndsWith(name, eup) || EndsWith(name, myeon);
}

}  // namespace

std::optional<BuildingLayout> BuildingLayoutOfFieldCount(size_t fields) {
  if (fields == kKoreaPostFieldCount) return BuildingLayout::kKoreaPost;
  if (fields == kGovernmentFieldCount) return BuildingLayout::kGovernment;
  return std::nullopt;
}

const char* BuildingLayoutName(BuildingLayout layout) {
  return layout == BuildingLayout::kKoreaPost ? "Korea Post's address DB"
                                              : "the government's road-name address DB";
}

bool CarriesEnglish(BuildingLayout layout) {
  return layout == BuildingLayout::kKoreaPost;
}

BuildingReader::BuildingReader(BuildingLayout layout, ConvertError* error)
    : layout_(layout), reader_(TextEncoding::kCp949, error) {
  reader_.SetNames(layout == BuildingLayout::kKoreaPost ? &KoreaPostNames() : &GovernmentNames());
}

BuildingReader::Line BuildingReader::Read(std::string_view line, int lineNo, BuildingRow* row) {
  reader_.SetLine(lineNo);
  reader_.SetLineChecked(false);
  if (lineNo == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") {
    line.remove_prefix(3);
    reader_.SetEncoding(TextEncoding::kUtf8);
    encodingKnown_ = true;
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.empty()) {
    if (emptyLine_ == 0) emptyLine_ = lineNo;
    return Line::kSkipped;
  }
  if (emptyLine_ != 0) {
    reader_.SetLine(emptyLine_);
    reader_.Fail("empty line");
    return Line::kFault;
  }
  if (line.find('\r') != std::string_view::npos) {
    reader_.Fail("carriage return inside the line");
    return Line::kFault;
  }
  // The first line with a letter beyond ASCII tells the file's encoding:
  // Korean text in CP949 is practically never well-formed UTF-8.
  if (!encodingKnown_)
    for (char c : line)
      if (static_cast<unsigned char>(c) >= 0x80) {
        encodingKnown_ = true;
        reader_.SetEncoding(FirstInvalidUtf8(line) == kValidText ? TextEncoding::kUtf8
                                                                 : TextEncoding::kCp949);
        break;
      }
  FieldViews f;
  LineCheck check;
  const size_t n = SplitCheckedFields(line, reader_.encoding(), &f, &check, charactersChecked_);
  if (check.badByte != kValidText) {
    const char* at = line.data() + check.badByte;
    for (size_t i = 0; i < std::min(n, kMaxFields); ++i)
      if (at >= f[i].data() && at <= f[i].data() + f[i].size()) {
        reader_.FailField(i, f[i],
                          reader_.encoding() == TextEncoding::kUtf8 ? "bytes that are not UTF-8"
                                                                    : "bytes that are not CP949");
        return Line::kFault;
      }
  }
  const size_t expected =
      layout_ == BuildingLayout::kKoreaPost ? kKoreaPostFieldCount : kGovernmentFieldCount;
  if (n != expected) {
    reader_.Fail("expected " + std::to_string(expected) + " fields, found " + std::to_string(n));
    return Line::kFault;
  }
  // Without a control character anywhere the fields need no search for one;
  // with one, the field that holds it is named.
  reader_.SetLineChecked(!check.control);
  // A line of column names leads, its first name where a row has digits.
  if (lineNo == 1) {
    std::string first;
    if (reader_.Text(f, 0, false, &first) && first == Cp949FromUtf8(reader_.Name(0)))
      return ColumnNames(f) ? Line::kSkipped : Line::kFault;
  }
  const bool ok =
      layout_ == BuildingLayout::kKoreaPost ? KoreaPostRow(f, row) : GovernmentRow(f, row);
  return ok && Finish(row) ? Line::kRow : Line::kFault;
}

bool BuildingReader::ColumnNames(const FieldViews& f) {
  const size_t count =
      layout_ == BuildingLayout::kKoreaPost ? kKoreaPostFieldCount : kGovernmentFieldCount;
  std::string name;
  for (size_t i = 0; i < count; ++i) {
    if (!reader_.Text(f, i, false, &name)) return false;
    if (name != Cp949FromUtf8(reader_.Name(i)))
      return reader_.Fail("column " + std::to_string(i + 1) + " is \"" + reader_.ForMessage(f[i]) +
                          "\", expected \"" + reader_.Name(i) + "\": not " +
                          BuildingLayoutName(layout_) + " as this program knows it");
  }
  return true;
}

bool BuildingReader::Level(const FieldViews& f, size_t field) {
  const std::string_view raw = Trimmed(f[field]);
  if (raw.empty() || raw == "0") {
    n_.level = 0;
  } else if (raw == "1" || raw == "2") {
    n_.level = static_cast<uint32_t>(raw[0] - '0');
  } else {
    return reader_.FailField(field, raw, "neither 0, 1 nor 2");
  }
  return true;
}

bool BuildingReader::Get(const FieldViews& f, size_t field, bool required, Text text) {
  return reader_.View(f, field, required, &storage_[text], &text_[text]);
}

bool BuildingReader::KoreaPostRow(const FieldViews& f, BuildingRow* row) {
  FieldReader& r = reader_;
  if (!r.Zone(f, post::kZone, &zone_) || !Get(f, post::kSido, true, kSido) ||
      !r.Province(post::kSido, text_[kSido]) || !Get(f, post::kSigungu, false, kSigungu) ||
      !Get(f, post::kEupmyeon, false, kPlace) || !Get(f, post::kRoad, true, kRoad) ||
      !Level(f, post::kLevel) || !r.Number(f, post::kMain, true, &n_.main) ||
      !r.Number(f, post::kSub, false, &n_.sub) || !Get(f, post::kDeliveryName, false, kOtherName) ||
      !Get(f, post::kDistrictName, false, kName) || !Get(f, post::kDong, false, kDong) ||
      !Get(f, post::kRi, false, kRi) || !r.Flag(f, post::kMountain, &n_.mountain) ||
      !r.Number(f, post::kLotMain, false, &n_.lotMain) ||
      !r.Number(f, post::kLotSub, false, &n_.lotSub) || !Get(f, post::kSidoEn, false, kSidoEn) ||
      !Get(f, post::kSigunguEn, false, kSigunguEn) ||
      !Get(f, post::kEupmyeonEn, false, kEupmyeonEn) || !Get(f, post::kRoadEn, false, kRoadEn))
    return false;
  row->island = IsIslandOfDanwonGu(text_[kDong]);
  row->effectiveDate = 0;
  // The 법정동 is the reference of an address in a 동; an address in an 읍
  // or 면 names that instead.
  if (!text_[kPlace].empty()) text_[kDong] = {};
  if (text_[kName].empty()) text_[kName] = text_[kOtherName];
  return true;
}

bool BuildingReader::GovernmentRow(const FieldViews& f, BuildingRow* row) {
  FieldReader& r = reader_;
  if (!r.Zone(f, gov::kZone, &zone_) || !Get(f, gov::kSido, true, kSido) ||
      !r.Province(gov::kSido, text_[kSido]) || !Get(f, gov::kSigungu, false, kSigungu) ||
      !Get(f, gov::kEupmyeondong, true, kDong) || !Get(f, gov::kRi, false, kRi) ||
      !r.Flag(f, gov::kMountain, &n_.mountain) || !r.Number(f, gov::kLotMain, false, &n_.lotMain) ||
      !r.Number(f, gov::kLotSub, false, &n_.lotSub) || !Get(f, gov::kRoad, true, kRoad) ||
      !Level(f, gov::kLevel) || !r.Number(f, gov::kMain, true, &n_.main) ||
      !r.Number(f, gov::kSub, false, &n_.sub) || !Get(f, gov::kLedgerName, false, kOtherName) ||
      !Get(f, gov::kDistrictName, false, kName))
    return false;
  const std::string_view effective = Trimmed(f[gov::kEffective]);
  row->effectiveDate = 0;
  if (!effective.empty()) {
    const auto ymd = ParseYmd(effective);
    if (!ymd) return r.FailField(gov::kEffective, effective, "not a date YYYYMMDD");
    row->effectiveDate = *ymd;
  }
  if (Trimmed(f[gov::kMoveReason]) == kRemoved)
    return r.FailField(gov::kMoveReason, Trimmed(f[gov::kMoveReason]),
                       "a building taken out of the data (a row of the monthly changes, not of "
                       "the whole data)");
  row->island = IsIslandOfDanwonGu(text_[kDong]);
  text_[kPlace] = {};
  if (IsEupOrMyeon(text_[kDong])) std::swap(text_[kPlace], text_[kDong]);
  if (text_[kName].empty()) text_[kName] = text_[kOtherName];
  for (Text english : {kSidoEn, kSigunguEn, kEupmyeonEn, kRoadEn}) text_[english] = {};
  return true;
}

bool BuildingReader::Finish(BuildingRow* row) {
  Building b;
  b.sido = text_[kSido];
  b.sigungu = text_[kSigungu];
  b.eupmyeon = text_[kPlace];
  b.dong = text_[kDong];
  b.ri = text_[kRi];
  b.road = text_[kRoad];
  b.level = static_cast<AddressLevel>(n_.level);
  b.main = n_.main;
  b.sub = n_.sub;
  b.name = text_[kName];
  b.mountain = n_.mountain;
  b.lotMain = n_.lotMain;
  b.lotSub = n_.lotSub;
  b.sidoEn = text_[kSidoEn];
  b.sigunguEn = text_[kSigunguEn];
  b.eupmyeonEn = text_[kEupmyeonEn];
  b.roadEn = text_[kRoadEn];
  MakeBuildingAddress(b, &etc_);
  MakeBuildingLot(b, &jibun_);
  if (CarriesEnglish(layout_))
    MakeBuildingEnglish(b, &eng_);
  else
    eng_.clear();
  for (const auto& [what, value] : {std::pair{"address", &etc_}, std::pair{"lot address", &jibun_},
                                    std::pair{"English address", &eng_}})
    if (value->size() > static_cast<size_t>(kMaxCharWidth))
      return reader_.Fail(std::string(what) + " of " + std::to_string(value->size()) +
                          " bytes exceeds the 254 of a character field");
  if (b.sido != dddSido_ || b.sigungu != dddSigungu_) {
    dddSido_ = b.sido;
    dddSigungu_ = b.sigungu;
    ddd_ = DialCodeForDistrict(dddSido_, dddSigungu_);
  }
  row->zipcode = zone_;
  row->ddd = ddd_;
  row->etc = etc_;
  row->jibun = jibun_;
  row->eng = eng_;
  return true;
}

}  // namespace postal
