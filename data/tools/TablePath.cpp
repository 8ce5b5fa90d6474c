#include "TablePath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "platform/RunFolders.h"
#include "postal/PostalFiles.h"

namespace postal {
namespace {

std::string WorkingFolder() {
  std::vector<char> path(4096);
  return ::getcwd(path.data(), path.size()) ? std::string(path.data()) : std::string();
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The same file, or the same name in the same folder for a file not yet
// there.
bool SamePlace(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  const auto name = [](const std::string& p) { return p.substr(p.rfind('/') + 1); };
  return name(a) == name(b) && ::stat(FolderOf(a).c_str(), &sa) == 0 &&
         ::stat(FolderOf(b).c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

ImportTarget DefaultImportTarget() {
  return ImportTargetFor(platform::ExecutableFolder());
}

ImportTarget ImportTargetFor(const std::string& program) {
  if (program.empty()) return {};
  const platform::RunFolders folders = platform::ResolveRunFolders(program);
  const std::string& table = folders.importTable;
  const size_t slash = table.rfind('/');
  if (slash == std::string::npos) return {};
  if (folders.installed && !platform::MakeFolders(table.substr(0, slash))) return {};
  ImportTarget target;
  target.table = table;
  target.backups.last = table + ".bak";
  if (!folders.installed) target.backups.original = table + ".orig";
  // The finder's index: in its folder for an installed program, else in the
  // working directory (as the finder started from here finds it).
  const std::string indexFolder = folders.index.empty() ? WorkingFolder() : folders.index;
  if (!indexFolder.empty()) target.index = indexFolder + "/" + kIndexFileName;
  return target;
}

ImportTarget NamedImportTarget(const std::string& table) {
  const std::string program = platform::ExecutableFolder();
  if (!program.empty() && SamePlace(table, platform::ResolveRunFolders(program).importTable))
    return ImportTargetFor(program);
  ImportTarget target;
  target.table = table;
  const size_t slash = table.rfind('/');
  const size_t dot = table.rfind('.');
  const bool extension =
      dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  target.index = (extension ? table.substr(0, dot) : table) + ".FTS";
  return target;
}

}  // namespace postal
