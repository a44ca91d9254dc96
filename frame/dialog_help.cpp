#include "dialog_help.h"

#include "help_launcher.h"
#include "library_state.h"

namespace frame {
namespace {

using HtmlHelpEntry = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

bool OpenClassesKey(const char* subKey, void** key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  *key = opened;
  return true;
}

bool QueryDefaultValue(void* key, char* buffer, std::uint32_t size) {
  DWORD bytes = size;
  return RegQueryValueExA(static_cast<HKEY>(key), "", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &bytes) ==
         ERROR_SUCCESS;
}

void CloseKey(void* key) { RegCloseKey(static_cast<HKEY>(key)); }

void* LoadControlLibrary(const char* file) { return LoadLibraryA(file); }

void* FetchOrdinal(void* module, unsigned ordinal) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), MAKEINTRESOURCEA(ordinal)));
}

std::uintptr_t CallEntry(void* entry, void* caller, const char* file, std::uint32_t command, std::uintptr_t data) {
  HWND window = reinterpret_cast<HtmlHelpEntry>(entry)(static_cast<HWND>(caller), file, command, data);
  return reinterpret_cast<std::uintptr_t>(window);
}

constexpr HelpPlatform kWindows = {OpenClassesKey,     QueryDefaultValue, CloseKey,
                                   LoadControlLibrary, FetchOrdinal,      CallEntry};

HelpLauncher launcher(kWindows);

}  // namespace

std::uintptr_t CallHtmlHelp(HWND caller, const char* file, UINT command, DWORD_PTR data) {
  return launcher.CallHtmlHelp(caller, file, command, data);
}

std::string BuildHelpFilePath() {
  char name[1024];
  const DWORD length = GetModuleFileNameA(Module(), name, sizeof name);
  // Nothing read, or the name cut short: there is no folder to trust.
  if (length == 0 || length >= sizeof name) return HelpFilePathBeside(std::string());
  return HelpFilePathBeside(std::string(name, length));
}

}  // namespace frame
