#include "plugin_library.h"

#include <cstring>

#include "dll_image.h"
#include "failure.h"
#include "fault_guard.h"
#include "host_file.h"
#include "own_fault.h"
#include "paths.h"

namespace host {
namespace {

// The file a name stands for, not yet looked at.
std::string Candidate(const std::string& name, const std::string& firstFolder, const std::string& thenFolder) {
  if (!IsBareName(name)) return FullPath(name);
  const std::string first = FullPath(firstFolder), then = FullPath(thenFolder);
  for (const std::string& folder : {first, then})
    if (Exists(folder + "\\" + name)) return folder + "\\" + name;
  throw Failure(name + ": no such file in " + first + (then == first ? "" : " or in " + then));
}

// The loader's error codes say little to a user; the common cases in words.
std::string WhyNotLoaded(const std::string& file, DWORD error) {
  if (error == ERROR_DLL_INIT_FAILED) return "cannot load " + file + ": its initialisation (DllMain) refused to load";
  if (error == ERROR_MOD_NOT_FOUND) return "cannot load " + file + ": a DLL it needs is missing";
  return "cannot load " + file + ": " + SystemErrorText(error);
}

}  // namespace

std::string LocateDll(const std::string& name, const std::string& firstFolder, const std::string& thenFolder) {
  const std::string file = Candidate(name, firstFolder, thenFolder);
  if (!Exists(file)) throw Failure(name + ": no such file");
  if (IsFolder(file)) throw Failure(name + " is a folder, not a DLL");
  HostFile opened;
  opened.Open(file);
  const std::string why = WhyNotA32BitDll(opened.ReadUpTo(kDllHeaderBytes));
  if (!why.empty()) throw Failure(file + " is not a 32-bit Windows DLL: " + why);
  return file;
}

std::string LocateDll(const std::string& name) { return LocateDll(name, ".", ProgramFolder()); }

PluginLibrary::~PluginLibrary() {
  // A part that crashed may crash again on its way out.
  if (module_ && !APartCrashed()) FreeLibrary(module_);
}

void PluginLibrary::Call(const char* entryPoint, const std::function<void()>& call, bool timed) const {
  if (!guard_) return call();
  const std::string name = FileName(path_) + ": " + entryPoint;
  std::function<void()> guarded = call;
  const Fault fault = guard_->Run(name.c_str(), guarded, timed);
  if (!fault.floatingChange.empty()) throw FloatingStateChanged(name + " " + fault.floatingChange);
  if (!fault.happened) return;
  guard_->NotePartCrashed();
  throw PartFailure(name + " crashed: " + DescribeFault(fault));
}

bool PluginLibrary::APartCrashed() const { return guard_ && guard_->APartCrashed(); }

const char* PluginLibrary::DisplayName() const {
  const char* name = nullptr;
  Call(HOST_LISTED(GetDLLName), [&] { name = GetDLLName(); });
  return name;
}

void PluginLibrary::Load(const std::string& name) {
  path_ = LocateDll(name);
  NotePluginFile(path_);  // its DllMain runs inside LoadLibraryExW
  module_ = LoadLibraryExW(SystemPath(path_).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module_) throw Failure(WhyNotLoaded(path_, GetLastError()));
  auto bind = [this](auto& function, const char* entry) {
    function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(Find(entry));
  };
#define HOST_BIND_ENTRY_POINT(name, ...) bind(name, #name);
  HOST_ENTRY_POINTS(HOST_BIND_ENTRY_POINT)
#undef HOST_BIND_ENTRY_POINT
  std::vector<std::string> missing = MissingEntryPoints();
  if (!missing.empty()) throw Failure(path_ + " is not a plug-in: it does not export " + missing.front());
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

std::unique_ptr<PluginLibrary> LoadPlugin(const std::string& path, FaultGuard& guard) {
  auto library = std::make_unique<PluginLibrary>(&guard);
  library->Load(path);
  return library;
}

}  // namespace host
