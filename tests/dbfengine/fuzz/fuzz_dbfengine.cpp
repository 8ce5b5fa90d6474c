// libFuzzer target over the table opener (with its production index) and the
// expression compiler. Built and run by scripts/fuzz-all, not by CMake.
//
// Input: first byte selects the part.
//   even: the rest is a table file; when it contains the marker "\nMTX\n",
//         the bytes after it become the production index beside it. After a
//         first pass the files are cut (to last byte / 256 of their size)
//         under the open table, and read again.
//   odd:  the rest is an expression, compiled and evaluated on every record of
//         a small fixed table, also as a query and as an index key.
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "libs/dbfengine/dbfengine.h"

namespace {

std::string g_dir;

void writeAll(const std::string& path, const uint8_t* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

void exercise() {
  std::vector<char> buf(static_cast<size_t>(dbe_RecSize()));
  const int orders = dbe_SysProp(3000, nullptr);
  for (int order = 0; order <= orders && order < 4; ++order) {
    dbe_SetOrder(static_cast<int16_t>(order));
    int guard = 0;
    for (dbe_GoTop(); !dbe_Eof() && guard < 64; dbe_Skip(1), ++guard) {
      if (!buf.empty()) dbe_GetRecord(buf.data());
      for (int f = 1; f <= dbe_FieldCount() && f < 16; ++f) {
        const std::string name = dbe_FieldName(f);
        dbe_GetString(name.c_str());
        char memo[64];
        dbe_GetMemo(name.c_str(), memo, sizeof memo);
      }
    }
    dbe_GoBottom();
    dbe_Skip(-3);
    dbe_OrderPosGet();
    dbe_OrderPosSet(0.5);
    dbe_Seek("A");
    dbe_Go(2);
    dbe_Skip(1);
  }
}

// Splits off the part after `marker` (up to the next part) into `path`.
size_t splitPart(const uint8_t* data, size_t size, const char* marker, const std::string& path) {
  unlink(path.c_str());
  const uint8_t* at = static_cast<const uint8_t*>(memmem(data, size, marker, std::strlen(marker)));
  if (!at) return size;
  const size_t start = (at - data) + std::strlen(marker);
  writeAll(path, data + start, size - start);
  return static_cast<size_t>(at - data);
}

void fuzzTable(const uint8_t* data, size_t size) {
  const std::string table = g_dir + "/t.dbf";
  // Layout: table, then optionally "\nMEMO\n" memo bytes, then optionally
  // "\nMTX\n" index bytes.
  size = splitPart(data, size, "\nMTX\n", g_dir + "/t.mtx");
  size = splitPart(data, size, "\nMEMO\n", g_dir + "/t.dbt");
  unlink((g_dir + "/t.fpt").c_str());
  if (size < 64 || data[0] % 3 == 0) rename((g_dir + "/t.dbt").c_str(), (g_dir + "/t.fpt").c_str());
  writeAll(table, data, size);
  const int16_t area = dbe_UseEx(table.c_str(), "T", 1, 3, 2);
  if (area < 1) return;
  exercise();
  // Another process cuts the files while they are open: every read must
  // still answer (the table and index as at open, memos as damage).
  const uint8_t cut = data[size - 1];
  for (const char* name : {"/t.dbf", "/t.dbt", "/t.fpt", "/t.mtx"}) {
    const std::string file = g_dir + name;
    struct stat st {};
    if (stat(file.c_str(), &st) == 0 && truncate(file.c_str(), st.st_size * cut / 256) != 0) return;
  }
  exercise();
  dbe_Query("RECNO() > 1");
  exercise();
  dbe_Query("");
  dbe_SetQueryBit(1, -1);
  exercise();
  dbe_SetPassword("PASS");
  exercise();
  dbe_Close();
}

void fuzzExpression(const uint8_t* data, size_t size) {
  static int16_t area = 0;
  if (area < 1) {
    // NAME C(8), N N(5,1), D D(8), L L(1); three records, the second deleted.
    std::string h(32, '\0');
    h[0] = 3, h[4] = 3, h[8] = static_cast<char>(32 + 4 * 32 + 1), h[10] = 1 + 8 + 5 + 8 + 1,
    h[29] = 0x4E;
    const char* names[] = {"NAME", "N", "D", "L"};
    const char types[] = {'C', 'N', 'D', 'L'};
    const int widths[] = {8, 5, 8, 1};
    for (int i = 0; i < 4; ++i) {
      std::string d(32, '\0');
      std::memcpy(d.data(), names[i], std::strlen(names[i]));
      d[11] = types[i];
      d[16] = static_cast<char>(widths[i]);
      d[17] = i == 1 ? 1 : 0;
      h += d;
    }
    h += '\x0D';
    h += " Kim       12.520240229T";
    h += "*\xB0\xA1\xB3\xAA   -3.0        F";
    h += " abc     99999xxxxxxxx?";
    const std::string path = g_dir + "/e.dbf";
    writeAll(path, reinterpret_cast<const uint8_t*>(h.data()), h.size());
    area = dbe_UseEx(path.c_str(), "E", 1, 1, 2);
  }
  dbe_Select(area);
  const std::string text(reinterpret_cast<const char*>(data), size);
  const int16_t type = dbe_EvalTest(text.c_str());
  for (dbe_GoTop(); !dbe_Eof(); dbe_Skip(1)) {
    dbe_EvalString(text.c_str());
    if (type == 2) dbe_EvalNumeric(text.c_str());
    if (type == 3) dbe_EvalLogical(text.c_str());
  }
  if (type == 3) {
    dbe_Query(text.c_str());
    dbe_Query("");
  }
  if (type > 0) {
    const dbe_tag_def tag{"K", text.c_str(), nullptr, 0, static_cast<dbe_bool>(size % 2 ? -1 : 0)};
    const std::string index = g_dir + "/e.mtx";
    if (dbe_IndexCreate(index.c_str(), &tag, 1) == 1) {
      const int16_t order = dbe_IndexOpen(index.c_str());
      if (order > 0) {
        dbe_SetOrder(order);
        exercise();
      }
      dbe_CloseIndexes();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // In memory when it can be: every input writes and cuts files.
  char shm[] = "/dev/shm/fuzz-dbfengine-XXXXXX", tmp[] = "/tmp/fuzz-dbfengine-XXXXXX";
  const char* dir = mkdtemp(shm);
  g_dir = dir ? dir : mkdtemp(tmp);
  std::atexit([] { std::filesystem::remove_all(g_dir); });
  dbe_ErrorLevel(0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  if (data[0] % 2 == 0)
    fuzzTable(data + 1, size - 1);
  else
    fuzzExpression(data + 1, size - 1);
  return 0;
}
