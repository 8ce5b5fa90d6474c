#include "app/Settings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>

#include "app/UserFolders.h"
#include "platform/IniFile.h"

namespace app {
namespace {

QString& ProgramFolderOverride() {
  static QString folder;
  return folder;
}

QString UpperAscii(QString text) {
  for (QChar& c : text)
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
  return text;
}

}  // namespace

ESettingsWriteError::ESettingsWriteError(const QString& path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()) {}

QString ProgramFolder() {
  const QString& folder = ProgramFolderOverride();
  return folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
}

void SetProgramFolder(const QString& folder) {
  ProgramFolderOverride() = folder;
}

QString SettingsFolder() {
  return FromLocalPath(CurrentRunFolders().settings);
}

QString SettingsFilePath() {
  return SettingsFolder() + QStringLiteral("/KOLBRENT.INI");
}

void EnsureSettingsFolder() {
  const platform::RunFolders folders = CurrentRunFolders();
  if (folders.installed) {
    // The user's configuration folder may not exist yet at all.
    platform::MakeFolders(folders.settings);
    return;
  }
  QDir folder(FromLocalPath(folders.settings));
  if (!folder.exists()) QDir().mkdir(folder.path());
}

QString ReadSettingAsStored(const QString& section, const QString& key, const QString& fallback) {
  EnsureSettingsFolder();
  return platform::ReadProfileString(SettingsFilePath(), section, key, fallback);
}

QString ReadSetting(const QString& section, const QString& key, const QString& fallback) {
  return UpperAscii(ReadSettingAsStored(section, key, fallback));
}

bool WriteSetting(const QString& section, const QString& key, const QString& value) {
  EnsureSettingsFolder();
  const QString path = SettingsFilePath();
  QString why;
  if (platform::WriteProfileString(path, section, key, value, &why)) return true;
  // The box says what the program has always said; the reason goes to the log.
  qWarning().noquote() << "Unable to write to" << path << "-" << why;
  throw ESettingsWriteError(path);
}

}  // namespace app
