// libFuzzer target over the source list reader of csv2dbf and the table it
// makes: any bytes as Korea Post's list. Built and run by scripts/fuzz-all.
// Beyond "no crash": every SEQ of an accepted list is taken once, in order,
// and the table has exactly one record per row.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "PostcodeDbf.h"
#include "SourceCsv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  postal::ConvertError error;
  const auto rows =
      postal::ParseSourceCsv(std::string_view(reinterpret_cast<const char*>(data), size), &error);
  if (!rows) {
    if (error.line < 0) abort();
    return 0;
  }
  for (size_t i = 0; i < rows->size(); ++i)
    if ((*rows)[i].seq != static_cast<int>(i) + 1) abort();
  const auto table = postal::BuildPostcodeDbf(*rows, &error);
  if (!table) return 0;
  const auto* b = reinterpret_cast<const uint8_t*>(table->data());
  const size_t header = b[8] | b[9] << 8, record = b[10] | b[11] << 8;
  const uint32_t count = b[4] | b[5] << 8 | b[6] << 16 | static_cast<uint32_t>(b[7]) << 24;
  if (count != rows->size() || table->size() != header + count * record + 1) abort();
  return 0;
}
