#pragma once
// Writing a table so that readers see either the old file or the whole new one.
#include <functional>
#include <string>
#include <string_view>

namespace postal {

// Writes bytes to a temporary file in the folder of path, flushes it to disk
// (fsync) and renames it over path. When backupPath is not empty and path
// exists, the file being replaced is first kept as backupPath. On failure
// path is left as it was, no temporary file remains, and *why says what
// failed.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* why,
                         const std::string& backupPath = {});

// Receives the bytes of a file in pieces; false when they cannot be written.
using ByteSink = std::function<bool(std::string_view bytes)>;

// As WriteFileAtomically for a file too large to hold whole: produce hands
// the bytes to its sink in order and answers false when it fails (which
// fails the write as well).
bool WriteStreamAtomically(const std::string& path,
                           const std::function<bool(const ByteSink& sink)>& produce,
                           std::string* why, const std::string& backupPath = {});

}  // namespace postal
