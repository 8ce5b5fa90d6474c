#pragma once
// Path pieces of the table component. Table names may carry either
// separator ("/" or "\"), as names written for the original platform do.
#include <QString>

namespace tablepaths {

bool IsSeparator(QChar c);
// Whether path names a folder before its file name.
bool HasDirectory(const QString& path);
// The folder with one trailing "/" added when it has none; empty stays empty.
QString WithTrailingSeparator(QString dir);
// What follows the last separator (the whole path when there is none).
QString FileNamePart(const QString& path);
// Everything up to and including the last separator; empty without one.
QString DirectoryPart(const QString& path);
// Whether the file name holds a "." anywhere.
bool HasExtension(const QString& fileName);
// The file name without its last extension; a leading "." is not one.
QString WithoutExtension(const QString& fileName);

// name in dir when it names no folder of its own, with extension (".NTX")
// appended when its file name has none.
QString CompletedPath(const QString& name, const QString& dir, const QString& extension);

}  // namespace tablepaths
