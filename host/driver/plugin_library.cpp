#include "plugin_library.h"

#include <cstring>

#include "failure.h"
#include "fault_guard.h"
#include "host_file.h"
#include "paths.h"

namespace host {
namespace {

// What a path names where the loader looks for it: a name without a
// folder also beside hostsim and on the search path.
DWORD AttributesOf(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  char found[MAX_PATH];
  if (attributes == INVALID_FILE_ATTRIBUTES && IsBareName(path) &&
      SearchPathA(nullptr, path.c_str(), nullptr, MAX_PATH, found, nullptr))
    attributes = GetFileAttributesA(found);
  return attributes;
}

// The loader's error codes say little to a user; the common cases in words.
std::string WhyNotLoaded(const std::string& path, DWORD error) {
  const DWORD attributes = AttributesOf(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return path + ": no such file";
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return path + " is a folder, not a DLL";
  if (error == ERROR_BAD_EXE_FORMAT) return path + " is not a 32-bit Windows DLL";
  if (error == ERROR_MOD_NOT_FOUND) return "cannot load " + path + ": a DLL it needs is missing";
  return "cannot load " + path + ": " + SystemErrorText(error);
}

bool aPartFailed = false;

}  // namespace

PluginLibrary::~PluginLibrary() {
  // A part that crashed may crash again on its way out.
  if (module_ && !aPartFailed) FreeLibrary(module_);
}

void PluginLibrary::Call(const char* entryPoint, const std::function<void()>& call, bool timed) const {
  FaultGuard* guard = CommandGuard();
  if (!guard) return call();
  const std::string name = FileName(path_) + ": " + entryPoint;
  std::function<void()> guarded = call;
  const Fault fault = guard->Run(name.c_str(), guarded, timed);
  if (!fault.happened) return;
  aPartFailed = true;
  throw PartFailure(name + " crashed: " + DescribeFault(fault));
}

bool PluginLibrary::APartFailed() { return aPartFailed; }

std::string& PluginLibrary::LateFailure() {
  static std::string failure;
  return failure;
}

const char* PluginLibrary::DisplayName() const {
  const char* name = nullptr;
  Call("GetDLLName", [&] { name = GetDLLName(); });
  return name;
}

void PluginLibrary::Load(const std::string& path) {
  path_ = path;
  module_ = LoadLibraryA(path.c_str());
  if (!module_) throw Failure(WhyNotLoaded(path, GetLastError()));
  auto bind = [this](auto& function, const char* name) {
    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(Find(name));
  };
#define HOST_BIND_ENTRY_POINT(name, result, optional, ...) bind(name, #name);
  HOST_ENTRY_POINTS(HOST_BIND_ENTRY_POINT)
#undef HOST_BIND_ENTRY_POINT
  std::vector<std::string> missing = MissingEntryPoints();
  if (!missing.empty()) throw Failure(path + " is not a plug-in: it does not export " + missing.front());
}

const void* PluginLibrary::Find(const char* name) const {
  return module_ ? reinterpret_cast<const void*>(GetProcAddress(module_, name)) : nullptr;
}

std::vector<std::string> PluginLibrary::MissingEntryPoints() const {
  std::vector<std::string> missing;
  for (const EntryPointName& entry : kEntryPoints)
    if (!entry.optional && !Find(entry.name)) missing.push_back(entry.name);
  return missing;
}

std::unique_ptr<PluginLibrary> LoadPlugin(const std::string& path) {
  auto library = std::make_unique<PluginLibrary>();
  library->Load(path);
  return library;
}

}  // namespace host
