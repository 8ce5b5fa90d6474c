#include "lookup/RuntimeLibraries.h"

#include <dlfcn.h>

namespace lookup {
namespace {

void* Open(const std::string& folder, const char* name, std::string* error) {
  const std::string path = folder + "/" + name;
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* why = ::dlerror();
    *error = "unable to load required library " + path + (why ? std::string(": ") + why : "");
  }
  return module;
}

template <typename F>
void Bind(void* module, const char* library, const char* name, F& slot, std::string* error) {
  slot = reinterpret_cast<F>(::dlsym(module, name));
  if (!slot && error->empty()) *error = std::string(library) + " lacks the entry point " + name;
}

// Keeps the module when every entry point was bound.
bool Kept(void* module, const std::string& error) {
  if (error.empty()) return true;
  ::dlclose(module);
  return false;
}

}  // namespace

#define PF_LOOKUP_BIND(name) Bind(module, library, #name, c.name, error);

bool LoadEngine(const std::string& folder, EngineCalls* calls, std::string* error) {
  const char* library = kEngineLibraryName;
  error->clear();
  void* module = Open(folder, library, error);
  if (!module) return false;
  EngineCalls c;
  PF_LOOKUP_DBE(PF_LOOKUP_BIND)
  if (!Kept(module, *error)) return false;
  *calls = c;
  return true;
}

bool LoadFts(const std::string& folder, FtsCalls* calls, std::string* error) {
  const char* library = kFtsLibraryName;
  error->clear();
  void* module = Open(folder, library, error);
  if (!module) return false;
  FtsCalls c;
  PF_LOOKUP_FTS(PF_LOOKUP_BIND)
  if (!Kept(module, *error)) return false;
  *calls = c;
  return true;
}

}  // namespace lookup
