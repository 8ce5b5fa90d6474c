#pragma once
// Loading the full-text library (libftsindex.so) from the executable's folder
// at run time, and the availability check made before the main window exists.
#include <QString>
#include <cstdint>

// The library's entry points, bound by name.
struct TFtsEntryPoints {
  int32_t (*FtsCreate)(const char*, int16_t, int16_t, int8_t, int16_t);
  int32_t (*FtsOpen)(const char*, int16_t, int16_t);
  int32_t (*FtsAdd)(int32_t, const char*);
  int32_t (*FtsSet)(int32_t, const char*);
  int32_t (*FtsNextRec)(int32_t);
  int32_t (*FtsVerify)(int32_t, const char*, const char*, int32_t);
  int32_t (*FtsProven)(int32_t);
  int32_t (*FtsMatchSpans)(int32_t, const char*, int32_t, const char*, int32_t, int32_t*, int32_t);
  int32_t (*FtsNumRecs)(int32_t);
  int32_t (*FtsClose)(int32_t);
  int32_t (*FtsSetTag)(int32_t, const char*);
  int32_t (*FtsGetTag)(int32_t, char*, int32_t);
  int32_t (*FtsMatch)(const char*, const char*, int32_t);
};

// The library's file name.
inline constexpr char kFtsLibraryFileName[] = "libftsindex.so";

// The folder the library is loaded from: the executable's folder, unless a
// test has set another one.
QString FtsLibraryFolder();
// Replaces the folder (tests); an empty text restores the executable's folder.
void SetFtsLibraryFolder(const QString& folder);

// Loads the library from FtsLibraryFolder() once per folder and binds every
// entry point; the library then stays loaded for the life of the process.
// Null when it cannot be loaded or lacks an entry point.
const TFtsEntryPoints* LoadFtsLibrary();

// Trial-loads the library, binds every entry point of TFtsEntryPoints and
// releases it at once. When it cannot be loaded or lacks an entry point,
// shows "Full-text search (FTS): Unable to load required library
// libftsindex.so" and answers false: the application must then end.
bool CheckFtsLibraryAvailable();
