#include "search/TableStamp.h"

#include <fstream>

namespace search {

std::optional<TableStamp> ReadTableStamp(const std::string& tablePath) {
  std::ifstream in(tablePath, std::ios::binary);
  unsigned char h[32];
  if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return std::nullopt;
  TableStamp s;
  s.year = 1900 + h[1];
  s.month = h[2];
  s.day = h[3];
  s.recordCount = h[4] | h[5] << 8 | h[6] << 16 | static_cast<uint32_t>(h[7]) << 24;
  return s;
}

}  // namespace search
