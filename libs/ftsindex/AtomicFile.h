#pragma once
// Writes a file so that readers see either the old file or the whole new one.
#include <string>
#include <string_view>

namespace fts {

// True when a new file can be created in the folder of path (tried with a
// temporary file that is removed again).
bool FolderTakesFiles(const std::string& path);

// Writes data to a temporary file beside path, flushes it to disk and renames
// it over path. On failure the temporary file is removed and path is left as
// it was. Returns 0 or FTS_ERR_IO.
//
// The temporary file ".<name>.tmp-XXXXXX" is locked (flock) by its writer
// for as long as it exists, so that a leftover of a writer that was killed
// can be told from one that is still being written.
int WriteFileAtomically(const std::string& path, std::string_view data);

// Removes the temporary files of path that no live writer holds: leftovers
// of a process killed between creating and renaming one. Answers how many.
int RemoveStaleTemporaries(const std::string& path);

}  // namespace fts
