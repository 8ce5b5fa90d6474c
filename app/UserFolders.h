#pragma once
// The finder's side of the folder rule (platform/RunFolders.h): where the
// settings file, the table and the index are for the program folder in use.
#include <QString>

#include "platform/RunFolders.h"

namespace app {

// The rule applied to ProgramFolder().
platform::RunFolders CurrentRunFolders();

// A local path as the rule gives it, and back.
QString FromLocalPath(const std::string& path);
std::string ToLocalPath(const QString& path);

// The folder of the POSTCODE.DBF to open, with its trailing separator.
QString TableFolder();

// An installed program keeps its index in the user's cache folder: the
// folder is made when missing and becomes the working directory. Elsewhere
// (a build, an unpacked folder) the working directory stays as it is.
// Returns false when the folder could not be made or entered.
bool EnterIndexFolder();

}  // namespace app
