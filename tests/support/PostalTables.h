// Small postal tables in the official layout, made from source rows with the
// converter that the build uses for POSTCODE.DBF.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "Cp949Check.h"
#include "PostcodeDbf.h"
#include "SourceCsv.h"

namespace testsupport {

// Writes POSTCODE.DBF into folder from source rows (UTF-8, without the header).
inline void WritePostcodeTable(const std::string& folder, std::initializer_list<const char*> rows) {
  std::string csv = "ZIPCODE,SIDO,GUGUN,DONG,BUNJI,SEQ\r\n";
  for (const char* r : rows) csv += postal::Cp949FromUtf8(r) + "\r\n";
  postal::ConvertError e;
  auto parsed = postal::ParseSourceCsv(csv, &e);
  ASSERT_TRUE(parsed.has_value()) << e.line << ": " << e.reason;
  auto table = postal::BuildPostcodeDbf(*parsed, &e);
  ASSERT_TRUE(table.has_value()) << e.reason;
  std::string why;
  ASSERT_TRUE(platform::WriteFileAtomically(folder + "/POSTCODE.DBF", *table, &why)) << why;
}

// Six rows: three of 개포1동, one of 개포2동, one whose two words hold every
// pair of 가나다 but not the word (a candidate that verification rejects), one
// of 부산.
inline void WriteSmallTable(const std::string& folder) {
  WritePostcodeTable(folder, {
                                 "135-806,서울,강남구,개포1동 경남아파트,,1",
                                 "135-807,서울,강남구,개포1동 우성3차아파트,(1∼6동),2",
                                 "135-240,서울,강남구,개포2동,,3",
                                 "135-770,서울,강남구,개포1동 주공아파트,(1∼16동),4",
                                 "612-020,부산,해운대구,가나 나다,,5",
                                 "135-999,서울,강남구,역삼동 끝,,6",
                             });
}

}  // namespace testsupport
