#include "app/UserFolders.h"

#include <unistd.h>

#include <QFile>

#include "app/Settings.h"

namespace app {

platform::RunFolders CurrentRunFolders() {
  return platform::ResolveRunFolders(ToLocalPath(ProgramFolder()));
}

QString FromLocalPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string ToLocalPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString TableFolder() {
  return FromLocalPath(CurrentRunFolders().table) + QLatin1Char('/');
}

bool EnterIndexFolder() {
  const platform::RunFolders folders = CurrentRunFolders();
  if (folders.index.empty()) return true;
  return platform::MakeFolders(folders.index) && ::chdir(folders.index.c_str()) == 0;
}

}  // namespace app
