#include "TablePath.h"

#include <unistd.h>

namespace postal {

std::string DefaultTablePath() {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return {};
  std::string folder(path, static_cast<size_t>(n));
  const size_t slash = folder.rfind('/');
  if (slash == std::string::npos) return {};
  folder.resize(slash);
  return folder + "/" + kPostalTableFileName;
}

}  // namespace postal
