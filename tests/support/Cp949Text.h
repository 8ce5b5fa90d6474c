// UTF-8 source text as CP949 bytes through the C library's iconv (glibc's
// "CP949" is Microsoft's code page 949), for tests that write expected
// texts or table contents in the source's own UTF-8.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace testsupport {

inline std::string Cp949(std::string_view utf8) {
  iconv_t cd = iconv_open("CP949", "UTF-8");
  std::string out(utf8.size() * 2 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size(), outLeft = out.size();
  char* o = out.data();
  iconv(cd, &in, &inLeft, &o, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace testsupport
