#include "platform/RuntimeLibraries.h"

#include <dlfcn.h>

#include <map>
#include <memory>
#include <mutex>

namespace platform {
namespace {

std::string LibraryPath(const std::string& folder, const char* fileName) {
  return folder.empty() ? std::string(fileName) : folder + "/" + fileName;
}

void* Open(const std::string& path, std::string* error) {
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* why = ::dlerror();
    *error = "unable to load required library " + path + (why ? std::string(": ") + why : "");
  }
  return module;
}

template <typename F>
void Bind(void* module, const char* name, F& slot, bool required, std::string* missing) {
  slot = reinterpret_cast<F>(::dlsym(module, name));
  if (!slot && required && missing->empty()) *missing = name;
}

// Binds every entry point; false with the first missing required one's name
// in *missing.
bool BindAll(void* module, EngineEntryPoints* api, std::string* missing) {
#define PF_BIND_REQUIRED(name) Bind(module, #name, api->name, true, missing);
#define PF_BIND_OPTIONAL(name) Bind(module, #name, api->name, false, missing);
  PF_DBE_REQUIRED(PF_BIND_REQUIRED)
  PF_DBE_OPTIONAL(PF_BIND_OPTIONAL)
  return missing->empty();
}

bool BindAll(void* module, FtsEntryPoints* api, std::string* missing) {
  PF_FTS_REQUIRED(PF_BIND_REQUIRED)
  return missing->empty();
#undef PF_BIND_REQUIRED
#undef PF_BIND_OPTIONAL
}

// Loads the library at path and binds its entry points into a new Api; null
// and the library closed again unless every required one was found.
template <typename Api>
std::unique_ptr<Api> LoadAndBind(const std::string& path, std::string* error) {
  void* module = Open(path, error);
  if (!module) return nullptr;
  auto api = std::make_unique<Api>();
  std::string missing;
  if (!BindAll(module, api.get(), &missing)) {
    *error = path + " lacks the entry point " + missing;
    ::dlclose(module);
    return nullptr;
  }
  return api;
}

// Per path, so that a test pointing at an empty folder sees the failure while
// the program's own library stays bound. Failures are not kept: the folder
// may get its library later.
template <typename Api>
const Api* LoadOnce(const std::string& folder, const char* fileName, std::string* error) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<Api>> loaded;
  const std::string path = LibraryPath(folder, fileName);
  std::lock_guard<std::mutex> lock(mutex);
  const auto it = loaded.find(path);
  if (it != loaded.end()) return it->second.get();
  std::string why;
  std::unique_ptr<Api> api = LoadAndBind<Api>(path, &why);
  if (!api) {
    if (error) *error = why;
    return nullptr;
  }
  return loaded.emplace(path, std::move(api)).first->second.get();
}

}  // namespace

const EngineEntryPoints* LoadEngineLibrary(const std::string& folder, std::string* error) {
  return LoadOnce<EngineEntryPoints>(folder, kEngineLibraryFileName, error);
}

const FtsEntryPoints* LoadFtsLibrary(const std::string& folder, std::string* error) {
  return LoadOnce<FtsEntryPoints>(folder, kFtsLibraryFileName, error);
}

bool FtsLibraryLoads(const std::string& folder, std::string* error) {
  const std::string path = LibraryPath(folder, kFtsLibraryFileName);
  std::string why;
  void* module = Open(path, &why);
  if (module) {
    FtsEntryPoints api;
    std::string missing;
    const bool complete = BindAll(module, &api, &missing);
    ::dlclose(module);  // only a trial
    if (complete) return true;
    why = path + " lacks the entry point " + missing;
  }
  if (error) *error = why;
  return false;
}

}  // namespace platform
