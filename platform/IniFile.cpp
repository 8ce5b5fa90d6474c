#include "platform/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "platform/AtomicWrite.h"

namespace platform {
namespace {

// The file as text; nullopt when it exists but is not a readable text file.
// A missing file is an empty text. Opened without waiting, so that a FIFO
// in its place cannot hold the program up.
std::optional<TIniText> LoadIni(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return TIniText{};
    return std::nullopt;
  }
  struct stat st;
  QByteArray bytes;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxProfileFileSize;
  while (ok) {
    char buffer[16384];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    bytes.append(buffer, n);
    ok = bytes.size() <= kMaxProfileFileSize;  // it grew while read
  }
  ::close(fd);
  if (!ok) return std::nullopt;
  return DecodeIni(bytes);
}

}  // namespace

QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& fallback) {
  std::optional<TIniText> text = LoadIni(path);
  if (!text) return fallback;
  return IniValue(*text, section, key).value_or(fallback);
}

bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value, QString* why) {
  std::optional<TIniText> text = LoadIni(path);
  auto refuse = [why](const char* reason) {
    if (why) *why = QString::fromUtf8(reason);
    return false;
  };
  if (!text)
    return refuse("not a readable settings file");  // never replace what was not read whole
  if (!SetIniValue(*text, section, key, value))
    return refuse("the text would break the line format");
  const std::optional<QByteArray> bytes = EncodeIni(*text);
  if (!bytes) return refuse("the value has no form in the file's encoding");
  std::string reason;
  if (WriteFileAtomically(QFile::encodeName(path).toStdString(),
                          std::string_view(bytes->constData(), static_cast<size_t>(bytes->size())),
                          &reason))
    return true;
  if (why) *why = QString::fromLocal8Bit(reason.c_str());
  return false;
}

}  // namespace platform
