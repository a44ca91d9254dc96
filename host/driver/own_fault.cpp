#include "own_fault.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "fault_guard.h"
#include "paths.h"
#include "utf16.h"

namespace host {
namespace {

std::vector<std::string>& Steps() {
  static std::vector<std::string> steps;
  return steps;
}

std::vector<std::string>& PluginFiles() {
  static std::vector<std::string> files;
  return files;
}

HMODULE ModuleHolding(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCWSTR>(address), &module))
    return nullptr;
  return module;
}

// A module's file as a full path, without the prefix of long paths.
std::wstring FileOf(HMODULE module) {
  std::wstring name(32768, L'\0');
  name.resize(GetModuleFileNameW(module, &name[0], DWORD(name.size())));
  return name.compare(0, 4, L"\\\\?\\") == 0 ? name.substr(4) : name;
}

}  // namespace

Activity::Activity(const std::string& step) { Steps().push_back(step); }
Activity::~Activity() { Steps().pop_back(); }

std::string CurrentActivity() {
  std::string text;
  for (const std::string& step : Steps()) text += (text.empty() ? "" : "; ") + step;
  return text.empty() ? "starting" : text;
}

void NotePluginFile(const std::string& fullPath) {
  std::vector<std::string>& files = PluginFiles();
  if (std::find(files.begin(), files.end(), fullPath) == files.end()) files.push_back(fullPath);
}

std::string PluginAt(const void* address) {
  const HMODULE module = ModuleHolding(address);
  if (!module) return {};
  const std::wstring file = FileOf(module);
  for (const std::string& plugin : PluginFiles())
    if (lstrcmpiW(WideFromUtf8(plugin).c_str(), file.c_str()) == 0) return plugin;
  return {};
}

std::string ModuleAt(const void* address) {
  const HMODULE module = ModuleHolding(address);
  return module ? FileName(Utf8FromWide(FileOf(module))) : kNoModule;
}

std::string OwnFaultMessage(const std::string& what) {
  const std::string last = FaultGuard::LastCall();
  return "hostsim's own fault while " + CurrentActivity() + ": " + what +
         (last.empty() ? "" : "; the last call into a part was " + last + ", which may have damaged hostsim's memory");
}

}  // namespace host
