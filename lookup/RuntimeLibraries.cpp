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

// Loads library from folder and lets bindAll bind its entry points; keeps the
// library only when every one was found.
template <typename Calls, typename BindAll>
bool Load(const std::string& folder, const char* library, Calls* calls, std::string* error,
          BindAll bindAll) {
  error->clear();
  void* module = Open(folder, library, error);
  if (!module) return false;
  Calls c;
  bindAll(module, c);
  if (!error->empty()) {
    ::dlclose(module);
    return false;
  }
  *calls = c;
  return true;
}

}  // namespace

#define PF_LOOKUP_BIND(name) Bind(module, library, #name, c.name, error);

bool LoadEngine(const std::string& folder, EngineCalls* calls, std::string* error) {
  const char* library = kEngineLibraryName;
  return Load(folder, library, calls, error,
              [&](void* module, EngineCalls& c) { PF_LOOKUP_DBE(PF_LOOKUP_BIND) });
}

bool LoadFts(const std::string& folder, FtsCalls* calls, std::string* error) {
  const char* library = kFtsLibraryName;
  return Load(folder, library, calls, error,
              [&](void* module, FtsCalls& c) { PF_LOOKUP_FTS(PF_LOOKUP_BIND) });
}

}  // namespace lookup
