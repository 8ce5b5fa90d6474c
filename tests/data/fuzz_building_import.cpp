// libFuzzer target over postcode-import's reading of the building-level
// layouts and the table it makes: any bytes as one file, the first byte
// choosing the layout (Korea Post's or the government's). Beyond "no crash": a
// fault names a line within the file, every row gives a record whose fields
// fit a character field, and the table's header, record count and size
// agree with each other. Built and run by scripts/fuzz-all; the seeds in
// tests/fuzz_corpus/building_import are invented buildings written by hand in
// both layouts (with and without the line of column names), both encodings
// and both line ends.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "BuildingFile.h"
#include "PostalTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto layout =
      data[0] & 1 ? postal::BuildingLayout::kGovernment : postal::BuildingLayout::kKoreaPost;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  // Both passes of the import: measure every row, then write the same rows.
  postal::PostalTable table;
  table.CarryJibun();
  const bool english = postal::CarriesEnglish(layout);
  if (english) table.CarryEng();
  std::string image, why;
  const platform::ByteSink sink = [&](std::string_view part) {
    image.append(part);
    return true;
  };
  size_t rows = 0;
  for (int pass = 0; pass < 2; ++pass) {
    postal::ConvertError error;
    postal::BuildingReader reader(layout, &error);
    std::unique_ptr<postal::PostalTable::Writer> writer;
    if (pass == 1) {
      image = table.Header({2026, 12, 10});
      writer = std::make_unique<postal::PostalTable::Writer>(table, sink, table.count());
    }
    int lines = 0;
    for (size_t start = 0; start < bytes.size();) {
      size_t lf = bytes.find('\n', start);
      if (lf == std::string_view::npos) lf = bytes.size();
      postal::BuildingRow row;
      const auto read = reader.Read(bytes.substr(start, lf - start), ++lines, &row);
      start = lf + 1;
      if (read == postal::BuildingReader::Line::kFault) {
        if (error.line < 1 || error.line > lines || pass == 1) abort();
        return 0;
      }
      if (read == postal::BuildingReader::Line::kSkipped) continue;
      if (row.zipcode.size() != 5 || row.ddd.empty() || row.ddd.size() > 4) abort();
      for (std::string_view v : {row.etc, row.jibun, row.eng})
        if (v.size() > postal::kMaxCharWidth) abort();
      if (!english && !row.eng.empty()) abort();
      const postal::TableRow record{row.zipcode, row.ddd, row.etc, row.jibun, row.eng};
      if (pass == 0) {
        table.Measure(record);
        if (row.island) table.MarkIslandZone(row.zipcode);
        ++rows;
      } else if (!writer->Add(record, &why)) {
        abort();  // the same rows as measured
      }
    }
    if (pass == 1 && !writer->Finish(&why)) abort();
    if (pass == 1) image += postal::kDbfEndOfFile;
  }
  const auto* b = reinterpret_cast<const uint8_t*>(image.data());
  const size_t header = b[8] | b[9] << 8, record = b[10] | b[11] << 8;
  const uint32_t count = b[4] | b[5] << 8 | b[6] << 16 | static_cast<uint32_t>(b[7]) << 24;
  // ZIPCODE, DDD, ETC, JIBUN and, with English, ENG.
  if (count != rows || header != 32 + (english ? 5 : 4) * 32 + 1 || record != table.RecordSize() ||
      image.size() != header + size_t{count} * record + 1 || image.size() != table.ImageSize())
    abort();
  return 0;
}
