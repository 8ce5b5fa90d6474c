#include "TablePath.h"

#include "platform/RunFolders.h"

namespace postal {

std::string DefaultTablePath() {
  const std::string program = platform::ExecutableFolder();
  if (program.empty()) return {};
  const platform::RunFolders folders = platform::ResolveRunFolders(program);
  const std::string& table = folders.importTable;
  const size_t slash = table.rfind('/');
  if (slash == std::string::npos) return {};
  if (folders.installed && !platform::MakeFolders(table.substr(0, slash))) return {};
  return table;
}

}  // namespace postal
