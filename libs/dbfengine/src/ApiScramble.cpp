// Entry point: writing a scrambled copy of a table.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "Scramble.h"
#include "Settings.h"
#include "Table.h"
#include "dbfengine.h"

using namespace dbe;

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
  const size_t used =
      table.headerLength() + static_cast<size_t>(table.recordCount()) * table.recordSize();
  std::string out(reinterpret_cast<const char*>(table.data()), used);
  out.push_back('\x1A');
  const uint64_t key = scrambleKey(password);
  const uint32_t check = scrambleCheck(key);
  out[15] = 1;
  for (int i = 0; i < 4; ++i) {
    out[16 + i] = static_cast<char>(check >> (8 * i));
    out[4 + i] = static_cast<char>(static_cast<uint32_t>(table.recordCount()) >> (8 * i));
  }
  for (int32_t r = 1; r <= table.recordCount(); ++r) {
    uint8_t* rec = reinterpret_cast<uint8_t*>(out.data()) + table.headerLength() +
                   static_cast<size_t>(r - 1) * table.recordSize();
    scrambleRecord(key, static_cast<uint32_t>(r), rec + 1, table.recordSize() - 1);
  }
  const std::string tmp = std::string(target) + ".tmp" + std::to_string(getpid());
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool ok = fd >= 0;
  size_t done = 0;
  while (ok && done < out.size()) {
    const ssize_t w = ::write(fd, out.data() + done, out.size() - done);
    if (w < 0 && errno == EINTR) continue;
    ok = w > 0;
    if (ok) done += static_cast<size_t>(w);
  }
  if (fd >= 0) ok = (::close(fd) == 0) && ok;
  if (ok) ok = std::rename(tmp.c_str(), target) == 0;
  if (!ok) {
    const int err = errno;
    ::unlink(tmp.c_str());
    setError(DBE_E_WRITE, std::string("cannot write ") + target + ": " + std::strerror(err));
    return 0;
  }
  return -1;
}
