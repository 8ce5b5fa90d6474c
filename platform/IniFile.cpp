#include "platform/IniFile.h"

#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace platform {
namespace {

// The file as text; nullopt when it exists but is not a readable text file.
// A missing file is an empty text.
std::optional<TIniText> LoadIni(const QString& path) {
  QFileInfo info(path);
  if (!info.exists()) return TIniText{};
  if (!info.isFile() || info.size() > kMaxProfileFileSize) return std::nullopt;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.read(kMaxProfileFileSize + 1);
  if (file.error() != QFileDevice::NoError || bytes.size() > kMaxProfileFileSize)
    return std::nullopt;
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
                        const QString& value) {
  std::optional<TIniText> text = LoadIni(path);
  if (!text) return false;  // never replace a file we could not read whole
  if (!SetIniValue(*text, section, key, value)) return false;
  const std::optional<QByteArray> bytes = EncodeIni(*text);
  if (!bytes) return false;
  // Unbuffered: a buffered write fails only at the flush inside commit(),
  // which QSaveFile does not check, and the rename would then put a short
  // file in place. QSaveFile also goes on when the sync fails: done here.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
  if (file.write(*bytes) != bytes->size() || ::fsync(file.handle()) != 0) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

}  // namespace platform
