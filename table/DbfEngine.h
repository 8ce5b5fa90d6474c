#pragma once
// TDbfEngine: the process-wide loader of the DBF engine library. The library is
// loaded at run time from the executable's folder and its dbe_* entry points are
// bound by name; the table component calls the engine only through Api().
#include <QString>

#include "libs/dbfengine/dbfengine.h"

// Entry points every table needs (all must be present; dbe_IsEncrypted may be
// missing and then reads as "not encrypted").
// clang-format off
#define PF_DBE_REQUIRED(X)                                                               \
  X(dbe_WorkArea) X(dbe_UseEx) X(dbe_Select) X(dbe_Alias) X(dbe_Close)                   \
  X(dbe_ErrorLevel) X(dbe_SetReadCache) X(dbe_SetTranslate) X(dbe_SetPassword)           \
  X(dbe_SetStringType) X(dbe_SetMachineCollation) X(dbe_SetEpoch) X(dbe_SetDeleted)      \
  X(dbe_SetCentury) X(dbe_SetMemoBlockSize) X(dbe_SetDateFormat) X(dbe_SetSoftSeek)      \
  X(dbe_SetExact) X(dbe_SysProp) X(dbe_FieldCount) X(dbe_RecSize) X(dbe_RecCount)        \
  X(dbe_FieldName) X(dbe_FieldType) X(dbe_FieldOffset) X(dbe_FieldWidth)                 \
  X(dbe_FieldDecimals) X(dbe_Version) X(dbe_GoTop) X(dbe_GoBottom) X(dbe_Skip)           \
  X(dbe_Go) X(dbe_RecNo) X(dbe_Eof) X(dbe_Bof) X(dbe_GetRecord) X(dbe_GetString)         \
  X(dbe_SetOrder) X(dbe_IndexOrd) X(dbe_OrderPosGet) X(dbe_OrderPosSet)                  \
  X(dbe_IndexOpen) X(dbe_CloseIndexes) X(dbe_IndexName) X(dbe_TagName) X(dbe_TagArea)    \
  X(dbe_IndexKey) X(dbe_IndexKeyField) X(dbe_IndexType) X(dbe_IndexCondition)            \
  X(dbe_Query) X(dbe_QueryTest) X(dbe_QueryRecCount) X(dbe_SetQueryBit) X(dbe_DBFilter)  \
  X(dbe_Count) X(dbe_EvalTest) X(dbe_EvalString) X(dbe_EvalNumeric) X(dbe_EvalLogical)
// clang-format on

// Entry points bound when present (tools and diagnostics); null otherwise.
#define PF_DBE_OPTIONAL(X) \
  X(dbe_IsEncrypted)       \
  X(dbe_Error) X(dbe_ErrorText) X(dbe_ClearError) X(dbe_IndexCreate) X(dbe_ScrambleTable)

struct TDbfEngineApi {
#define PF_DBE_MEMBER(name) decltype(&::name) name = nullptr;
  PF_DBE_REQUIRED(PF_DBE_MEMBER)
  PF_DBE_OPTIONAL(PF_DBE_MEMBER)
#undef PF_DBE_MEMBER
};

class TDbfEngine {
 public:
  static constexpr const char* kLibraryName = "libdbfengine.so";

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
  void* handle_ = nullptr;
  QString folder_;
  TDbfEngineApi api_;
};

// The bound engine of the process.
inline const TDbfEngineApi& Dbe() {
  return TDbfEngine::Instance().Api();
}
