#include "table/DbfEngine.h"

#include <dlfcn.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>

#include "platform/MessageBox.h"

TDbfEngine& TDbfEngine::Instance() {
  static TDbfEngine engine;
  return engine;
}

TDbfEngine::~TDbfEngine() {
  UnloadEngine();
}

QString TDbfEngine::LibraryPath() const {
  QString folder = folder_;
  if (folder.isEmpty()) {
    if (QCoreApplication::instance())
      folder = QCoreApplication::applicationDirPath();
    else
      folder = QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
  }
  return QDir(folder).filePath(QString::fromLatin1(kLibraryName));
}

void TDbfEngine::EnsureEngineLoaded() {
  if (!loaded_) loaded_ = LoadEngine();
}

bool TDbfEngine::LoadEngine() {
  if (loaded_) return true;
  const QString path = LibraryPath();
  handle_ = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
  bool ok = handle_ != nullptr;
  if (ok) {
    TDbfEngineApi api;
#define PF_DBE_BIND(name)                                                \
  api.name = reinterpret_cast<decltype(&::name)>(dlsym(handle_, #name)); \
  ok = ok && api.name != nullptr;
    PF_DBE_REQUIRED(PF_DBE_BIND)
#undef PF_DBE_BIND
#define PF_DBE_BIND_OPTIONAL(name) \
  api.name = reinterpret_cast<decltype(&::name)>(dlsym(handle_, #name));
    PF_DBE_OPTIONAL(PF_DBE_BIND_OPTIONAL)
#undef PF_DBE_BIND_OPTIONAL
    if (ok) {
      api_ = api;
      loaded_ = true;
      api_.dbe_SetStringType(1);
    }
  }
  if (!ok) {
    if (handle_) dlclose(handle_);
    handle_ = nullptr;
    loaded_ = false;
    api_ = TDbfEngineApi{};
    platform::ShowMessage(nullptr,
                          QStringLiteral("Unable to load required database engine library: ") +
                              QString::fromLatin1(kLibraryName));
    terminateRequested_ = true;
    // Queued, so that it also ends a message loop that has not started yet.
    if (QCoreApplication* app = QCoreApplication::instance())
      QMetaObject::invokeMethod(app, "quit", Qt::QueuedConnection);
  }
  return loaded_;
}

void TDbfEngine::UnloadEngine() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
  loaded_ = false;
  api_ = TDbfEngineApi{};
}

void TDbfEngine::SetMachineCollation() {
  if (loaded_) api_.dbe_SetMachineCollation();
}
