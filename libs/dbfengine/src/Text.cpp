#include "Text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "Settings.h"

namespace dbe {

namespace {
template <typename Map>
void mapCase(std::string& out, std::string_view in, bool dbcs, Map map) {
  out.assign(in.data(), in.size());
  for (size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (dbcs && isLeadByte(c)) {
      ++i;  // keep the trail byte
    } else {
      out[i] = static_cast<char>(map(c));
    }
  }
}
}  // namespace

void upperInto(std::string& out, std::string_view in, bool dbcs) {
  mapCase(out, in, dbcs, [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
}

void lowerInto(std::string& out, std::string_view in, bool dbcs) {
  mapCase(out, in, dbcs, [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
}

size_t findText(std::string_view hay, std::string_view needle, bool dbcs) {
  if (needle.empty() || needle.size() > hay.size()) return std::string_view::npos;
  size_t from = 0;
  while (from + needle.size() <= hay.size()) {
    const void* hit = memmem(hay.data() + from, hay.size() - from, needle.data(), needle.size());
    if (!hit) return std::string_view::npos;
    const size_t pos = static_cast<const char*>(hit) - hay.data();
    if (!dbcs) return pos;
    // A hit inside a double-byte character (on its trail byte) does not count.
    size_t i = 0;
    while (i < pos) i += isLeadByte(static_cast<unsigned char>(hay[i])) ? 2 : 1;
    if (i == pos) return pos;
    from = pos + 1;
  }
  return std::string_view::npos;
}

double parseNumber(const char* s, size_t len) {
  // The number's own text (sign, digits, point or comma, exponent) read as
  // the nearest double, whatever the C locale says of decimal points.
  std::string text;
  size_t i = 0;
  while (i < len && s[i] == ' ') ++i;
  bool negative = false;
  if (i < len && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  const size_t start = i;
  while (i < len && s[i] >= '0' && s[i] <= '9') ++i;
  long whole = static_cast<long>(i - start);  // digits before the point
  text.assign(s + start, i - start);
  bool any = whole > 0;
  if (i < len && (s[i] == '.' || s[i] == ',')) {
    const size_t from = ++i;
    while (i < len && s[i] >= '0' && s[i] <= '9') ++i;
    any = any || i > from;
    text.push_back('.');
    text.append(s + from, i - from);
  }
  if (!any) return 0;
  const bool hasExponent = i + 1 < len && (s[i] == 'e' || s[i] == 'E');
  if (!hasExponent && text.size() <= 16) {
    // Up to 15 digits: the digits as an integer, which a double holds
    // exactly, divided by an exact power of ten is the nearest double.
    static const double kPow10[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7, 1e8,
                                    1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
    uint64_t m = 0;
    int digitCount = 0, decimals = -1;
    for (char c : text) {
      if (c == '.') {
        decimals = 0;
        continue;
      }
      m = m * 10 + static_cast<uint64_t>(c - '0');
      ++digitCount;
      if (decimals >= 0) ++decimals;
    }
    if (digitCount <= 15) {
      const double v = static_cast<double>(m) / kPow10[decimals > 0 ? decimals : 0];
      return negative ? -v : v;
    }
  }
  long exponent = 0;
  if (i + 1 < len && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    const bool minus = s[j] == '-';
    if (s[j] == '-' || s[j] == '+') ++j;
    for (; j < len && s[j] >= '0' && s[j] <= '9'; ++j)
      if (exponent < 100000) exponent = exponent * 10 + (s[j] - '0');
    if (minus) exponent = -exponent;
    text += 'e' + std::to_string(exponent);
  }
  double v = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), v).ec ==
      std::errc::result_out_of_range) {
    // Too large (to infinity, as arithmetic would overflow) or too small.
    const size_t lead = text.find_first_not_of('0');
    whole -= lead == std::string::npos ? whole : std::min<long>(whole, static_cast<long>(lead));
    v = whole + exponent > 0 ? HUGE_VAL : 0;
  }
  return negative ? -v : v;
}

std::string roundedDecimal(double value, int decimals) {
  if (!std::isfinite(value)) return {};
  // Shortest form "d.ddde+x": digits D with the point after its first one.
  char buf[64];
  const auto r =
      std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
  const std::string_view text(buf, static_cast<size_t>(r.ptr - buf));
  const size_t e = text.find('e');
  std::string digits;
  for (char c : text.substr(0, e))
    if (c != '.') digits.push_back(c);
  const long exponent = std::strtol(std::string(text.substr(e + 1)).c_str(), nullptr, 10);
  // The integer part of |value| * 10^decimals takes the first k digits of D.
  const long k = exponent + 1 + decimals;
  std::string n;
  bool up = false;
  if (k <= 0) {
    n = "0";
    up = k == 0 && digits[0] >= '5';
  } else if (static_cast<size_t>(k) >= digits.size()) {
    n = digits + std::string(static_cast<size_t>(k) - digits.size(), '0');
  } else {
    n = digits.substr(0, static_cast<size_t>(k));
    up = digits[static_cast<size_t>(k)] >= '5';
  }
  if (up) {
    size_t i = n.size();
    while (i > 0 && n[i - 1] == '9') n[--i] = '0';
    if (i == 0)
      n.insert(n.begin(), '1');
    else
      ++n[i - 1];
  }
  const size_t lead = std::min(n.find_first_not_of('0'), n.size() - 1);
  n.erase(0, lead);
  const bool zero = n == "0";
  if (decimals < 0) {
    if (!zero) n.append(static_cast<size_t>(-decimals), '0');
  } else if (decimals > 0) {
    if (n.size() < static_cast<size_t>(decimals) + 1)
      n.insert(0, static_cast<size_t>(decimals) + 1 - n.size(), '0');
    n.insert(n.size() - static_cast<size_t>(decimals), 1, '.');
  }
  return (value < 0 && !zero ? "-" : "") + n;
}

void formatNumber(std::string& out, double value, int width, int decimals) {
  if (width < 1) width = 1;
  if (width > 255) width = 255;
  if (decimals < 0) decimals = 0;
  if (decimals > width) decimals = width;
  const std::string text = roundedDecimal(value, decimals);
  if (text.empty() || text.size() > static_cast<size_t>(width)) {
    out.assign(static_cast<size_t>(width), '*');
    return;
  }
  out.assign(static_cast<size_t>(width) - text.size(), ' ');
  out += text;
}

int32_t julianDay(int y, int m, int d) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return 0;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (d > days[m - 1] + (m == 2 && leap ? 1 : 0)) return 0;
  const int a = (14 - m) / 12;
  const int yy = y + 4800 - a;
  const int mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

void civilDate(int32_t jd, int& y, int& m, int& d) {
  const int a = jd + 32044;
  const int b = (4 * a + 3) / 146097;
  const int c = a - 146097 * b / 4;
  const int dd = (4 * c + 3) / 1461;
  const int e = c - 1461 * dd / 4;
  const int mm = (5 * e + 2) / 153;
  d = e - (153 * mm + 2) / 5 + 1;
  m = mm + 3 - 12 * (mm / 10);
  y = 100 * b + dd - 4800 + mm / 10;
}

int32_t parseDtos(const char* s, size_t len) {
  if (len < 8) return 0;
  int v[8];
  for (int i = 0; i < 8; ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    v[i] = s[i] - '0';
  }
  return julianDay(v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5], v[6] * 10 + v[7]);
}

void formatDtos(std::string& out, int32_t jd) {
  if (jd <= 0) {
    out.assign(8, ' ');
    return;
  }
  int y, m, d;
  civilDate(jd, y, m, d);
  char tmp[16];
  std::snprintf(tmp, sizeof tmp, "%04d%02d%02d", y % 10000, m, d);
  out.assign(tmp, 8);
}

namespace {
// Order of the parts (0 = month-day-year, 1 = year-month-day, 2 = day-month-
// year) and the separator of each date format.
void dateLayout(int format, int& order, char& sep) {
  switch (format) {
    case 1:
      order = 1, sep = '.';
      break;
    case 2:
    case 3:
    case 6:
      order = 2, sep = '/';
      break;
    case 4:
      order = 2, sep = '.';
      break;
    case 5:
      order = 2, sep = '-';
      break;
    case 7:
      order = 0, sep = '-';
      break;
    case 8:
      order = 1, sep = '/';
      break;
    default:
      order = 0, sep = '/';
      break;
  }
}
}  // namespace

void formatDtoc(std::string& out, int32_t jd) {
  const Settings& s = settings();
  int order;
  char sep;
  dateLayout(s.dateFormat, order, sep);
  const size_t width = s.century ? 10 : 8;
  if (jd <= 0) {
    out.assign(width, ' ');
    out[order == 1 ? (s.century ? 4 : 2) : 2] = sep;
    out[order == 1 ? (s.century ? 7 : 5) : 5] = sep;
    return;
  }
  int y, m, d;
  civilDate(jd, y, m, d);
  char ys[8];
  if (s.century)
    std::snprintf(ys, sizeof ys, "%04d", y % 10000);
  else
    std::snprintf(ys, sizeof ys, "%02d", y % 100);
  char tmp[32];
  if (order == 0)
    std::snprintf(tmp, sizeof tmp, "%02d%c%02d%c%s", m, sep, d, sep, ys);
  else if (order == 1)
    std::snprintf(tmp, sizeof tmp, "%s%c%02d%c%02d", ys, sep, m, sep, d);
  else
    std::snprintf(tmp, sizeof tmp, "%02d%c%02d%c%s", d, sep, m, sep, ys);
  out = tmp;
}

int32_t parseCtod(std::string_view text) {
  int parts[3] = {0, 0, 0};
  int digits[3] = {0, 0, 0};
  int k = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      if (digits[k] >= 4) return 0;
      parts[k] = parts[k] * 10 + (c - '0');
      ++digits[k];
    } else if (c == ' ' && digits[k] == 0) {
      continue;
    } else if (digits[k] > 0 && k < 2) {
      ++k;
    } else {
      return 0;
    }
  }
  if (k != 2 || digits[2] == 0) return 0;
  int order;
  char sep;
  dateLayout(settings().dateFormat, order, sep);
  int y, m, d, ydigits;
  if (order == 0)
    m = parts[0], d = parts[1], y = parts[2], ydigits = digits[2];
  else if (order == 1)
    y = parts[0], m = parts[1], d = parts[2], ydigits = digits[0];
  else
    d = parts[0], m = parts[1], y = parts[2], ydigits = digits[2];
  if (ydigits <= 2) {
    const int epoch = settings().epoch;
    const int century = epoch / 100 * 100;
    y += century;
    if (y < epoch) y += 100;
  }
  return julianDay(y, m, d);
}

int32_t today() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return julianDay(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

}  // namespace dbe
