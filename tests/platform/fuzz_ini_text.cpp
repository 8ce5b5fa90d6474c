// libFuzzer target over the settings reader and writer (platform/IniText):
// any bytes as a settings file, read as the program reads it, MSG written
// back, and the result read again. Built and run by scripts/fuzz-all.
//
// Checked beyond "no crash": a file that reads also takes the write (unless
// the value cannot be encoded, which "N" always can); read back, MSG is the
// value written and CAPTION what it was before.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "platform/IniText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString section = QStringLiteral("QORVA");
  std::optional<platform::TIniText> text = platform::DecodeIni(bytes);
  if (!text) return 0;
  const std::optional<QString> caption =
      platform::IniValue(*text, section, QStringLiteral("CAPTION"));
  platform::IniValue(*text, section, QStringLiteral("MSG"));
  if (!platform::SetIniValue(*text, section, QStringLiteral("MSG"), QStringLiteral("N"))) abort();
  const std::optional<QByteArray> written = platform::EncodeIni(*text);
  if (!written) abort();
  const std::optional<platform::TIniText> again = platform::DecodeIni(*written);
  if (!again) abort();
  if (platform::IniValue(*again, section, QStringLiteral("MSG")) != QStringLiteral("N")) abort();
  if (platform::IniValue(*again, section, QStringLiteral("CAPTION")) != caption) abort();
  return 0;
}
