#include "platform/RunFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {

bool IsAbsolute(const char* path) {
  return path && path[0] == '/';
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (IsAbsolute(home)) return home;
  // Started without an environment (a service, su without -l).
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      IsAbsolute(found->pw_dir))
    return found->pw_dir;
  return {};
}

std::string BaseFolder(const char* variable, const char* underHome) {
  const char* value = std::getenv(variable);
  if (IsAbsolute(value)) return value;
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/" + underHome;
}

std::string Child(const std::string& folder, const char* name) {
  if (folder.empty()) return {};
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string ExecutableFolder() {
  std::vector<char> path(4096);
  const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
  if (n <= 0) return {};
  std::string file(path.data(), static_cast<size_t>(n));
  const size_t slash = file.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : file.substr(0, slash);
}

bool IsInstalledProgramFolder(const std::string& folder) {
#ifdef PF_INSTALLED_PROGRAM_FOLDER
  if (folder == PF_INSTALLED_PROGRAM_FOLDER) return true;
#endif
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  return ::access(folder.c_str(), W_OK) != 0;
}

std::string XdgConfigHome() {
  return BaseFolder("XDG_CONFIG_HOME", ".config");
}

std::string XdgCacheHome() {
  return BaseFolder("XDG_CACHE_HOME", ".cache");
}

std::string XdgDataHome() {
  return BaseFolder("XDG_DATA_HOME", ".local/share");
}

RunFolders ResolveRunFolders(const std::string& programFolder) {
  RunFolders f;
  f.program = programFolder;
  f.installed = IsInstalledProgramFolder(programFolder);
  // Beside the program: always for a writable folder, and for an installed
  // one whose user has no home folder (nothing else could be written then).
  f.settings = Child(programFolder, "LOG");
  f.table = programFolder;
  f.importTable = Child(programFolder, kTableFileName);
  if (!f.installed) return f;  // the index: the working directory

  const std::string config = Child(XdgConfigHome(), kUserFolderName);
  if (!config.empty()) f.settings = Child(config, "LOG");
  f.index = Child(XdgCacheHome(), kUserFolderName);
  const std::string userData = Child(XdgDataHome(), kUserFolderName);
  if (!userData.empty()) {
    f.importTable = Child(userData, kTableFileName);
    if (IsRegularFile(f.importTable)) f.table = userData;
  }
  return f;
}

bool MakeFolders(const std::string& folder) {
  if (folder.empty()) return false;
  if (IsFolder(folder)) return true;
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) return false;
  if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return IsFolder(path);
  return false;
}

}  // namespace platform
