#include "calendar/Cp949Encoding.h"

#include <iconv.h>

namespace calendar {

std::optional<std::string> Utf8ToCp949(std::string_view utf8) {
  // glibc's "CP949" is the Windows code page (UHC), a superset of EUC-KR.
  iconv_t cd = iconv_open("CP949", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;

  std::string out;
  // CP949 never needs more bytes than UTF-8 for the same text.
  out.resize(utf8.size());
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* dst = out.data();
  size_t outLeft = out.size();
  const size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
  const bool ok = rc != static_cast<size_t>(-1) && rc == 0 && inLeft == 0 &&
                  iconv(cd, nullptr, nullptr, &dst, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace calendar
