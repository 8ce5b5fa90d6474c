#pragma once
// TDbfEngine: the process-wide loader of the DBF engine library. The library is
// loaded at run time from the executable's folder and its dbe_* entry points are
// bound by name; the table component calls the engine only through Api().
#include <QString>

#include "platform/RuntimeLibraries.h"

// The engine's entry points, bound by the project's loader.
using TDbfEngineApi = platform::EngineEntryPoints;

class TDbfEngine {
 public:
  static constexpr const char* kLibraryName = platform::kEngineLibraryFileName;

  static TDbfEngine& Instance();
  ~TDbfEngine();

  bool EngineLoaded() const { return loaded_; }
  // Unless loaded, loads; a failure is reported to the user (see LoadEngine).
  void EnsureEngineLoaded();
  // Loads the library and binds its entry points. On failure shows "Unable to
  // load required database engine library: " + file name and asks the
  // application to terminate.
  bool LoadEngine();
  void UnloadEngine();
  void SetMachineCollation();

  // The folder the library is loaded from: the executable's folder unless set.
  QString LibraryPath() const;
  void SetLibraryFolder(const QString& folder) { folder_ = folder; }
  // True once a failed load asked the application to end.
  bool TerminateRequested() const { return terminateRequested_; }

  const TDbfEngineApi& Api() const { return api_; }

 private:
  TDbfEngine() = default;
  bool loaded_ = false;
  bool terminateRequested_ = false;
  QString folder_;
  TDbfEngineApi api_;
};

// The bound engine of the process.
inline const TDbfEngineApi& Dbe() {
  return TDbfEngine::Instance().Api();
}
