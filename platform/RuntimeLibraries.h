#pragma once
// The one loader of the project's two run-time libraries, the DBF engine and
// the full-text library: each is loaded with dlopen from the program's folder
// and its entry points are bound by name, so that a missing or broken library
// is told by whoever asked for it. Free of Qt: the window's components and
// the command-line tools load them alike.
#include <string>

#include "libs/dbfengine/dbfengine.h"
#include "libs/ftsindex/ftsindex.h"

// clang-format off
// Entry points of the engine that every user of it may call (all must be
// present).
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
  X(dbe_Count) X(dbe_EvalTest) X(dbe_EvalString) X(dbe_EvalNumeric) X(dbe_EvalLogical)  \
  X(dbe_LastUpdate) X(dbe_VersionNumber) X(dbe_SetQueryBits)
// Entry points bound when present (tools and diagnostics); null otherwise.
#define PF_DBE_OPTIONAL(X)                                                               \
  X(dbe_IsEncrypted) X(dbe_Error) X(dbe_ErrorText) X(dbe_ClearError) X(dbe_IndexCreate)  \
  X(dbe_ScrambleTable)
// Entry points of the full-text library (all must be present).
#define PF_FTS_REQUIRED(X)                                                               \
  X(FtsCreate) X(FtsOpen) X(FtsAdd) X(FtsSet) X(FtsNextRec) X(FtsVerify) X(FtsProven)    \
  X(FtsMatchSpans) X(FtsNumRecs) X(FtsClose) X(FtsSetTag) X(FtsGetTag) X(FtsMatch)      \
  X(FtsNextRecs)
// clang-format on

namespace platform {

#define PF_ENTRY_POINT_MEMBER(name) decltype(&::name) name = nullptr;
struct EngineEntryPoints {
  PF_DBE_REQUIRED(PF_ENTRY_POINT_MEMBER)
  PF_DBE_OPTIONAL(PF_ENTRY_POINT_MEMBER)
};
struct FtsEntryPoints {
  PF_FTS_REQUIRED(PF_ENTRY_POINT_MEMBER)
};
#undef PF_ENTRY_POINT_MEMBER

inline constexpr char kEngineLibraryFileName[] = "libdbfengine.so";
inline constexpr char kFtsLibraryFileName[] = "libftsindex.so";

// Loads the library from folder once per folder and binds its entry points;
// it then stays loaded for the life of the process. Null, with the reason in
// *error (when given), when it cannot be loaded or lacks an entry point.
const EngineEntryPoints* LoadEngineLibrary(const std::string& folder, std::string* error = nullptr);
const FtsEntryPoints* LoadFtsLibrary(const std::string& folder, std::string* error = nullptr);

// Loads the full-text library from folder, binds every entry point and
// releases it at once: whether a later load would succeed.
bool FtsLibraryLoads(const std::string& folder, std::string* error = nullptr);

}  // namespace platform
