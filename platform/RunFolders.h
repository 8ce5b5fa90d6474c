#pragma once
// Where the program's files live: the one rule that the finder, postcode-lookup
// and postcode-import share. Free of Qt, so that the command-line tools start
// fast.
//
// A program folder that this user can write (a build, an unpacked folder)
// keeps everything as it always was: the table and the LOG folder beside the
// program, the index in the working directory.
//
// An installed program (its folder belongs to root, or is the folder this
// build installs to) writes into the user's own folders, after the XDG base
// directory rules:
//   settings  $XDG_CONFIG_HOME/postcode-finder/LOG/KOLBRENT.INI
//   index     $XDG_CACHE_HOME/postcode-finder/POSTCODE.FTS
//   table     $XDG_DATA_HOME/postcode-finder/POSTCODE.DBF when the user has
//             imported one, else the shipped table in the program folder.
#include <string>

namespace platform {

// The name of the program's folder in each of the user's base folders.
inline constexpr char kUserFolderName[] = "postcode-finder";
inline constexpr char kTableFileName[] = "POSTCODE.DBF";

struct RunFolders {
  std::string program;  // the program, its libraries, the shipped table, the banner
  bool installed = false;
  std::string settings;     // the LOG folder that holds KOLBRENT.INI
  std::string table;        // the folder of the POSTCODE.DBF to open
  std::string index;        // the folder of POSTCODE.FTS; empty: the working directory
  std::string importTable;  // the table an import writes when none is named
};

// The folder of the running executable (/proc/self/exe, symbolic links
// resolved); empty when it cannot be read.
std::string ExecutableFolder();

// True when the program in this folder counts as installed: the folder is
// the one this build installs to, or the user cannot write to it. A folder
// without any write permission bit counts as not writable even for root, who
// could write to it all the same.
bool IsInstalledProgramFolder(const std::string& folder);

// The user's base folders: the variable when it holds an absolute path, else
// the default under the home folder ($HOME, else the password database).
// Empty when there is no home folder either.
std::string XdgConfigHome();
std::string XdgCacheHome();
std::string XdgDataHome();

// The folders for a program in programFolder, under the current environment.
// Nothing is created.
RunFolders ResolveRunFolders(const std::string& programFolder);

// Creates folder and every missing folder above it, new ones with mode 0700
// (the base directory rules ask for it). True when the folder exists at the
// end.
bool MakeFolders(const std::string& folder);

}  // namespace platform
