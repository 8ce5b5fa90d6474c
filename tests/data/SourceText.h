#pragma once
// Test sources written in UTF-8 and turned into the CP949 bytes of the list.
#include <initializer_list>
#include <string>

#include "Cp949Check.h"

inline std::string K(const char* utf8) {
  return postal::Cp949FromUtf8(utf8);
}

// The header and the given rows (UTF-8), joined with CRLF as the list is.
inline std::string SourceCsv(std::initializer_list<const char*> rows) {
  std::string out = "ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ\r\n";
  for (const char* r : rows) out += K(r) + "\r\n";
  return out;
}
