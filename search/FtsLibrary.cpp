#include "search/FtsLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <map>
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

QByteArray LibraryPath() {
  return QFile::encodeName(QDir(FtsLibraryFolder()).filePath(QLatin1String(kFtsLibraryFileName)));
}

template <typename F>
bool Bind(void* module, const char* name, F& slot) {
  slot = reinterpret_cast<F>(::dlsym(module, name));
  return slot != nullptr;
}

// Every entry point the program calls; false when one is missing.
bool BindAll(void* module, TFtsEntryPoints& api) {
  return Bind(module, "FtsCreate", api.FtsCreate) && Bind(module, "FtsOpen", api.FtsOpen) &&
         Bind(module, "FtsAdd", api.FtsAdd) && Bind(module, "FtsSet", api.FtsSet) &&
         Bind(module, "FtsNextRec", api.FtsNextRec) && Bind(module, "FtsVerify", api.FtsVerify) &&
         Bind(module, "FtsProven", api.FtsProven) &&
         Bind(module, "FtsMatchSpans", api.FtsMatchSpans) &&
         Bind(module, "FtsNumRecs", api.FtsNumRecs) && Bind(module, "FtsClose", api.FtsClose) &&
         Bind(module, "FtsMatch", api.FtsMatch) && Bind(module, "FtsSetTag", api.FtsSetTag) &&
         Bind(module, "FtsGetTag", api.FtsGetTag);
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
  const QByteArray path = LibraryPath();
  std::lock_guard<std::mutex> lock(g_mutex);
  // Per path, so that a test pointing at an empty folder sees the failure
  // while the program's own library stays bound.
  static std::map<QByteArray, TFtsEntryPoints> loaded;
  const auto it = loaded.find(path);
  if (it != loaded.end()) return &it->second;
  void* module = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
  if (!module) return nullptr;
  TFtsEntryPoints api{};
  if (!BindAll(module, api)) {
    ::dlclose(module);
    return nullptr;
  }
  return &loaded.emplace(path, api).first->second;
}

bool CheckFtsLibraryAvailable() {
  void* module = ::dlopen(LibraryPath().constData(), RTLD_NOW | RTLD_LOCAL);
  if (module) {
    // A library that loads but lacks an entry point would fail every search.
    TFtsEntryPoints api{};
    const bool complete = BindAll(module, api);
    ::dlclose(module);  // only a trial: the component loads it for itself
    if (complete) return true;
  }
  platform::ShowMessage(nullptr,
                        QStringLiteral("Full-text search (FTS): Unable to load required library ") +
                            QLatin1String(kFtsLibraryFileName));
  return false;
}
