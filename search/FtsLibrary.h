#pragma once
// The full-text library (libftsindex.so) for the window: loaded from the
// executable's folder by the project's loader, and the availability check
// made before the main window exists.
#include <QString>

#include "platform/RuntimeLibraries.h"

// The library's entry points, bound by name.
using TFtsEntryPoints = platform::FtsEntryPoints;

// The library's file name.
inline constexpr const char* kFtsLibraryFileName = platform::kFtsLibraryFileName;

// The folder the library is loaded from: the executable's folder, unless a
// test has set another one.
QString FtsLibraryFolder();
// Replaces the folder (tests); an empty text restores the executable's folder.
void SetFtsLibraryFolder(const QString& folder);

// The library from FtsLibraryFolder() with every entry point bound; it stays
// loaded for the life of the process. Null when it cannot be loaded or lacks
// an entry point.
const TFtsEntryPoints* LoadFtsLibrary();

// Trial-loads the library, binds every entry point and releases it at once.
// When it cannot be loaded or lacks an entry point, shows "Full-text search
// (FTS): Unable to load required library libftsindex.so" and answers false:
// the application must then end.
bool CheckFtsLibraryAvailable();
