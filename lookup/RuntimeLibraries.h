#pragma once
// The two run-time libraries, loaded from the program folder with dlopen as
// the finder loads them, bound to the few entry points the lookup calls.
#include <string>

#include "libs/dbfengine/dbfengine.h"
#include "libs/ftsindex/ftsindex.h"

// clang-format off
#define PF_LOOKUP_DBE(X)                                                              \
  X(dbe_UseEx) X(dbe_Select) X(dbe_Close) X(dbe_ErrorLevel) X(dbe_ErrorText)          \
  X(dbe_SetPassword) X(dbe_SetReadCache) X(dbe_RecCount) X(dbe_RecSize)               \
  X(dbe_FieldCount) X(dbe_FieldName) X(dbe_FieldWidth) X(dbe_GoTop) X(dbe_Skip)       \
  X(dbe_Eof) X(dbe_Go) X(dbe_GetRecord)
#define PF_LOOKUP_FTS(X)                                                              \
  X(FtsCreate) X(FtsOpen) X(FtsAdd) X(FtsSet) X(FtsNextRec) X(FtsVerify)              \
  X(FtsNumRecs) X(FtsClose) X(FtsSetTag) X(FtsGetTag)
// clang-format on
#define PF_LOOKUP_MEMBER(name) decltype(&::name) name = nullptr;

namespace lookup {

struct EngineCalls {
  PF_LOOKUP_DBE(PF_LOOKUP_MEMBER)
};

struct FtsCalls {
  PF_LOOKUP_FTS(PF_LOOKUP_MEMBER)
};

inline constexpr char kEngineLibraryName[] = "libdbfengine.so";
inline constexpr char kFtsLibraryName[] = "libftsindex.so";

// Loads the library from folder and binds every entry point. The library
// stays loaded for the life of the process. False with a message in *error
// when it cannot be loaded or lacks an entry point.
bool LoadEngine(const std::string& folder, EngineCalls* calls, std::string* error);
bool LoadFts(const std::string& folder, FtsCalls* calls, std::string* error);

}  // namespace lookup
