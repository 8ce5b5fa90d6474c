// postcode-lookup: the finder's search from a shell or a script.
#include <cstdio>
#include <string>

#include "lookup/LookupRun.h"
#include "lookup/Options.h"
#include "platform/RunFolders.h"
#include "platform/StandardStreams.h"

int main(int argc, char** argv) {
  // Before any file is opened: a closed descriptor 0 would be taken by the
  // table and read as the queries.
  if (!platform::EnsureStandardStreams()) return lookup::kExitError;
  lookup::LookupOptions options;
  std::string error;
  if (!lookup::ParseArguments(argc, argv, &options, &error)) {
    std::fprintf(stderr, "postcode-lookup: %s\nTry 'postcode-lookup --help'.\n", error.c_str());
    return lookup::kExitError;
  }
  const platform::RunFolders folders = platform::ResolveRunFolders(platform::ExecutableFolder());
  return lookup::RunLookup(options, folders, stdin, stdout, stderr);
}
