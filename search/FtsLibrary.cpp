#include "search/FtsLibrary.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <mutex>

#include "platform/MessageBox.h"

namespace {

std::mutex g_mutex;
QString g_folderOverride;

QString ExecutableFolder() {
  if (QCoreApplication::instance()) return QCoreApplication::applicationDirPath();
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return QDir::currentPath();
  return QFileInfo(QString::fromLocal8Bit(path, static_cast<int>(n))).absolutePath();
}

std::string Folder() {
  return QFile::encodeName(FtsLibraryFolder()).toStdString();
}

}  // namespace

QString FtsLibraryFolder() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return g_folderOverride.isEmpty() ? ExecutableFolder() : g_folderOverride;
}

void SetFtsLibraryFolder(const QString& folder) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_folderOverride = folder;
}

const TFtsEntryPoints* LoadFtsLibrary() {
  return platform::LoadFtsLibrary(Folder());
}

bool CheckFtsLibraryAvailable() {
  if (platform::FtsLibraryLoads(Folder())) return true;
  platform::ShowMessage(nullptr,
                        QStringLiteral("Full-text search (FTS): Unable to load required library ") +
                            QLatin1String(kFtsLibraryFileName));
  return false;
}
