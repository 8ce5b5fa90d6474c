// libFuzzer target over postcode-import's reading of Korea Post's range files
// and the table it makes: any bytes as one range file (the first byte chooses
// whether the same bytes are also given as a second file). Built and run by
// scripts/fuzz-all. Beyond "no crash": a fault names a line within the file,
// an accepted file gives one record per row, and the table's header, record
// count and size agree with each other.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "RangeImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool twice = data[0] & 1;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  postal::ConvertError error;
  size_t rows = 0;
  const auto info = postal::ReadRangeFile(
      bytes,
      [&](const postal::RangeRow& row) {
        if (row.zipcode.size() != 5 || row.etc.size() > 254 || row.eng.size() > 254) abort();
        ++rows;
      },
      &error);
  if (!info) {
    if (error.line < 0) abort();
    return 0;
  }
  if (info->rows != rows) abort();

  std::vector<std::pair<std::string, std::string>> files = {{"a.txt", bytes}};
  if (twice) files.emplace_back("b.txt", bytes);
  std::string why;
  const auto table = postal::ImportRangeFiles(files, postal::DbfDate{2026, 12, 10}, &why);
  if (!table) abort();  // the same bytes were accepted above
  const auto* b = reinterpret_cast<const uint8_t*>(table->data());
  if (table->size() < 32) abort();
  const size_t header = b[8] | b[9] << 8, record = b[10] | b[11] << 8;
  const uint32_t count = b[4] | b[5] << 8 | b[6] << 16 | static_cast<uint32_t>(b[7]) << 24;
  if (count != rows * files.size() || table->size() != header + size_t{count} * record + 1) abort();
  // ZIPCODE, DDD, ETC (at least 83 bytes) and ENG, each at most 254 bytes.
  if (header != 32 + 4 * 32 + 1 || record < 1 + 7 + 4 + postal::kMinEtcWidth + 1 ||
      record > 1 + 7 + 4 + 2 * 254)
    abort();
  return 0;
}
