#include "table/TablePaths.h"

namespace tablepaths {
namespace {
qsizetype LastSeparator(const QString& path) {
  for (qsizetype i = path.size() - 1; i >= 0; --i)
    if (IsSeparator(path[i])) return i;
  return -1;
}
}  // namespace

bool IsSeparator(QChar c) {
  return c == '/' || c == '\\';
}

bool HasDirectory(const QString& path) {
  return LastSeparator(path) >= 0;
}

QString WithTrailingSeparator(QString dir) {
  if (!dir.isEmpty() && !IsSeparator(dir.back())) dir += '/';
  return dir;
}

QString FileNamePart(const QString& path) {
  return path.mid(LastSeparator(path) + 1);
}

QString DirectoryPart(const QString& path) {
  return path.left(LastSeparator(path) + 1);
}

bool HasExtension(const QString& fileName) {
  return fileName.contains('.');
}

QString WithoutExtension(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf('.');
  return dot > 0 ? fileName.left(dot) : fileName;
}

QString CompletedPath(const QString& name, const QString& dir, const QString& extension) {
  QString path = HasDirectory(name) ? name : dir + name;
  if (!HasExtension(FileNamePart(path))) path += extension;
  return path;
}

}  // namespace tablepaths
