#pragma once
// One run of postcode-lookup after its command line has been read: the
// version, one query, or one query a line from the input.
#include <cstdio>

#include "lookup/Options.h"
#include "platform/RunFolders.h"

namespace lookup {

// Every query matched; one or more matched nothing; an error.
inline constexpr int kExitMatched = 0;
inline constexpr int kExitNoMatch = 1;
inline constexpr int kExitError = 2;

// Input lines longer than this are refused (with a message) and skipped.
inline constexpr size_t kMaxLineBytes = 1 << 16;

// Runs the lookup with the files of folders; rows go to out, messages
// (prefixed "postcode-lookup: ") to err. Returns the exit status.
int RunLookup(const LookupOptions& options, const platform::RunFolders& folders, std::FILE* in,
              std::FILE* out, std::FILE* err);

}  // namespace lookup
