#pragma once
// Where the finder reads its postal table, and what an import that replaces
// it keeps of the table it replaces.
#include <string>

#include "platform/AtomicWrite.h"

namespace postal {

struct ImportTarget {
  std::string table;  // empty when there is no folder for it
  platform::Backups backups;
  // Where the index of the new table is built: where the finder looks for it
  // (POSTCODE.FTS in the user's cache folder, or in the working directory
  // beside a program in a folder the user can write), or beside a table
  // named by the user, as NAME.FTS.
  std::string index;
};

// The table an import replaces when no output is named: the one the finder
// opens first under the program's folder rule (platform/RunFolders.h) -
// POSTCODE.DBF beside a program in a folder the user can write, the user's
// own $XDG_DATA_HOME/postcode-finder/POSTCODE.DBF for an installed program
// (its folder is created here). The table it replaces is kept as
// POSTCODE.DBF.bak; beside the program the shipped table is also kept once,
// as POSTCODE.DBF.orig, so that no number of imports loses it (an installed
// program's shipped table is never replaced). No table when the program's
// folder cannot be found, or the user's folder cannot be made.
ImportTarget DefaultImportTarget();
// The same for a program in programFolder (a window that knows its own).
ImportTarget ImportTargetFor(const std::string& programFolder);
// A table the user named: nothing kept beside it, its index beside it; the
// finder's own table (the same file as DefaultImportTarget's), named, is
// that target.
ImportTarget NamedImportTarget(const std::string& table);

}  // namespace postal
