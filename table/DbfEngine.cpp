#include "table/DbfEngine.h"

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
  const QString folder = QFileInfo(LibraryPath()).absolutePath();
  if (const TDbfEngineApi* api =
          platform::LoadEngineLibrary(QFile::encodeName(folder).toStdString())) {
    api_ = *api;
    loaded_ = true;
    api_.dbe_SetStringType(1);
    return true;
  }
  api_ = TDbfEngineApi{};
  platform::ShowMessage(nullptr,
                        QStringLiteral("Unable to load required database engine library: ") +
                            QString::fromLatin1(kLibraryName));
  terminateRequested_ = true;
  // Queued, so that it also ends a message loop that has not started yet.
  if (QCoreApplication* app = QCoreApplication::instance())
    QMetaObject::invokeMethod(app, "quit", Qt::QueuedConnection);
  return false;
}

// The library itself stays loaded for the life of the process (the loader
// keeps it); the engine is unbound.
void TDbfEngine::UnloadEngine() {
  loaded_ = false;
  api_ = TDbfEngineApi{};
}

void TDbfEngine::SetMachineCollation() {
  if (loaded_) api_.dbe_SetMachineCollation();
}
