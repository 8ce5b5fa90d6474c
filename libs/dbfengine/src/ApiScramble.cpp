// Entry point: writing a scrambled copy of a table.
#include <cstring>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "Scramble.h"
#include "Settings.h"
#include "Table.h"
#include "dbfengine.h"

using namespace dbe;

namespace {

// The header with the scrambled flag, the password check and the count of
// the records written; then the records, a block at a time, and the end mark.
bool writeScrambled(Table& table, const std::string& target, uint64_t key, int& code,
                    std::string& message) {
  std::vector<uint8_t> header = table.header();
  const uint32_t check = scrambleCheck(key);
  const auto count = static_cast<uint32_t>(table.recordCount());
  header[15] = 1;
  for (int i = 0; i < 4; ++i) {
    header[16 + i] = static_cast<uint8_t>(check >> (8 * i));
    header[4 + i] = static_cast<uint8_t>(count >> (8 * i));
  }
  code = DBE_E_WRITE;
  AtomicFile out;
  if (!out.begin(target, message) || !out.write(header.data(), header.size(), 0, message))
    return false;
  const size_t recSize = static_cast<size_t>(table.recordSize());
  std::vector<uint8_t> block;
  uint64_t at = header.size();
  for (int32_t r = 1; r <= table.recordCount(); ++r) {
    const uint8_t* rec = table.record(r, true);
    if (!rec) {
      code = DBE_E_READ;
      message = table.readError();
      return false;
    }
    block.insert(block.end(), rec, rec + recSize);
    scrambleRecord(key, static_cast<uint32_t>(r), block.data() + block.size() - recSize + 1,
                   recSize - 1);
    if (block.size() >= 256 * 1024 || r == table.recordCount()) {
      if (!out.write(block.data(), block.size(), at, message)) return false;
      at += block.size();
      block.clear();
    }
  }
  const uint8_t end = 0x1A;
  return out.write(&end, 1, at, message) && out.commit(message);
}

}  // namespace

extern "C" dbe_bool dbe_ScrambleTable(const char* source, const char* target,
                                      const char* password) {
  if (!source || !target || !*target || !password || !*password || std::strlen(password) > 32) {
    setError(DBE_E_ARGUMENT, "scrambling needs a source, a target and a password of 1 to 32 bytes");
    return 0;
  }
  Table table;
  int code = 0;
  std::string message;
  if (!table.open(source, 1, code, message)) {
    setError(code, message);
    return 0;
  }
  if (table.encrypted()) {
    setError(DBE_E_ARGUMENT, std::string("table is already scrambled: ") + source);
    return 0;
  }
  if (!writeScrambled(table, target, scrambleKey(password), code, message)) {
    setError(code, message);
    return 0;
  }
  return -1;
}
