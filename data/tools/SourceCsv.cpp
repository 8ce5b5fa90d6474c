#include "SourceCsv.h"

#include <array>
#include <charconv>

#include "Cp949Check.h"
#include "DialCode.h"

namespace postal {
namespace {

bool Fail(ConvertError* error, int line, std::string reason) {
  if (error) *error = ConvertError{line, std::move(reason)};
  return false;
}

// Splits the file into lines without their line ends. A CR is only allowed
// right before LF; the last line may lack its line end.
bool SplitLines(std::string_view bytes, std::vector<std::string_view>* lines, ConvertError* error) {
  size_t start = 0;
  int lineNo = 1;
  while (start < bytes.size()) {
    size_t lf = bytes.find('\n', start);
    const bool last = lf == std::string_view::npos;
    if (last) lf = bytes.size();
    std::string_view line = bytes.substr(start, lf - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\r') != std::string_view::npos)
      return Fail(error, lineNo, "carriage return inside the line");
    lines->push_back(line);
    start = lf + 1;
    ++lineNo;
  }
  return true;
}

bool IsZipcode(std::string_view s) {
  if (s.size() != 7 || s[3] != '-') return false;
  for (size_t i = 0; i < 7; ++i)
    if (i != 3 && (s[i] < '0' || s[i] > '9')) return false;
  return true;
}

// Digits only, no leading zero: from_chars alone would take "-0" and "-5",
// which index no row.
bool ParseSeq(std::string_view s, int* seq) {
  if (s.empty() || s.size() > 9 || s[0] < '1' || s[0] > '9') return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), *seq);
  return ec == std::errc() && end == s.data() + s.size() && *seq >= 1;
}

bool CheckText(std::string_view field, const char* name, int line, ConvertError* error) {
  std::string why;
  if (!IsValidCp949Text(field, &why)) return Fail(error, line, std::string(name) + ": " + why);
  if (field.find('"') != std::string_view::npos)
    return Fail(error, line, std::string(name) + ": quote character (quoting is not used)");
  if (!field.empty() && (field.front() == ' ' || field.back() == ' '))
    return Fail(error, line, std::string(name) + ": leading or trailing blank");
  if (field.find("  ") != std::string_view::npos)
    return Fail(error, line, std::string(name) + ": two blanks in a row");
  return true;
}

bool ParseRow(std::string_view line, int lineNo, SourceRow* row, ConvertError* error) {
  std::array<std::string_view, 6> f;
  size_t n = 0, start = 0;
  for (;;) {
    const size_t comma = line.find(',', start);
    if (n == f.size()) return Fail(error, lineNo, "more than 6 fields");
    f[n++] = line.substr(start, comma == std::string_view::npos ? line.npos : comma - start);
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (n != f.size()) return Fail(error, lineNo, "expected 6 fields, found " + std::to_string(n));
  static constexpr const char* kNames[] = {"ZIPCODE", "SIDO", "GUGUN", "DONG", "BUNJI", "SEQ"};
  for (size_t i = 0; i < 5; ++i)
    if (!CheckText(f[i], kNames[i], lineNo, error)) return false;
  if (!IsZipcode(f[0])) return Fail(error, lineNo, "ZIPCODE: not of the form ddd-ddd");
  if (!IsKnownProvince(f[1])) return Fail(error, lineNo, "SIDO: unknown province");
  if (f[2].empty() && !ProvinceWithoutDistricts(f[1]))
    return Fail(error, lineNo, "GUGUN: empty outside 세종");
  if (f[3].empty()) return Fail(error, lineNo, "DONG: empty");
  if (!ParseSeq(f[5], &row->seq)) return Fail(error, lineNo, "SEQ: not a positive number");
  row->zipcode.assign(f[0]);
  row->sido.assign(f[1]);
  row->gugun.assign(f[2]);
  row->dong.assign(f[3]);
  row->bunji.assign(f[4]);
  row->line = lineNo;
  return true;
}

}  // namespace

std::optional<std::vector<SourceRow>> ParseSourceCsv(std::string_view bytes, ConvertError* error) {
  std::vector<std::string_view> lines;
  if (!SplitLines(bytes, &lines, error)) return std::nullopt;
  if (lines.empty()) {
    Fail(error, 1, "empty file: the header line is missing");
    return std::nullopt;
  }
  if (lines[0] != kSourceHeader) {
    Fail(error, 1, std::string("header is not \"") + kSourceHeader + "\"");
    return std::nullopt;
  }
  const size_t count = lines.size() - 1;
  // Placed by SEQ; a SEQ beyond the row count or taken twice leaves a gap.
  std::vector<SourceRow> rows(count);
  std::vector<int> seenAt(count + 1, 0);
  for (size_t i = 1; i < lines.size(); ++i) {
    const int lineNo = static_cast<int>(i) + 1;
    if (lines[i].empty()) {
      Fail(error, lineNo, "empty line");
      return std::nullopt;
    }
    SourceRow row;
    if (!ParseRow(lines[i], lineNo, &row, error)) return std::nullopt;
    if (static_cast<size_t>(row.seq) > count) {
      Fail(error, lineNo,
           "SEQ " + std::to_string(row.seq) + " beyond the row count " + std::to_string(count));
      return std::nullopt;
    }
    if (seenAt[row.seq] != 0) {
      Fail(
          error, lineNo,
          "SEQ " + std::to_string(row.seq) + " already on line " + std::to_string(seenAt[row.seq]));
      return std::nullopt;
    }
    seenAt[row.seq] = lineNo;
    rows[row.seq - 1] = std::move(row);
  }
  return rows;
}

}  // namespace postal
